package outils;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;

public class Lire {
  private static final BufferedReader clavier =
      new BufferedReader(new InputStreamReader(System.in));

  public static String ligne(String invite) {
    System.out.print(invite);
    try {
      return clavier.readLine();
    } catch (IOException e) {
      throw new RuntimeException(e);
    }
  }

  public static int entier(String invite) {
    return Integer.parseInt(ligne(invite).trim());
  }

  public static double reel(String invite) {
    return Double.parseDouble(ligne(invite).trim());
  }
}
