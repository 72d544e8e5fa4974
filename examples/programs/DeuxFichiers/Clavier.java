import java.io.*;

/** The keyboard helper of the course: one class, static methods. */
public class Clavier {
  private static BufferedReader in = new BufferedReader(new InputStreamReader(System.in));

  public static String lireLigne() {
    try {
      return in.readLine();
    } catch (IOException e) {
      return null;
    }
  }

  public static int lireEntier() {
    while (true) {
      String ligne = lireLigne();
      if (ligne == null)
        return 0;
      try {
        return Integer.parseInt(ligne.trim());
      } catch (NumberFormatException e) {
        System.out.print("Un entier, svp : ");
      }
    }
  }
}
