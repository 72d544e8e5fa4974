package fr.tp.paquet;

import java.io.*;

public class Paquet {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String[] args) throws IOException {
    System.out.print("Combien de lignes ? ");
    int n = Integer.parseInt(flux.readLine().trim());
    for (int i = 1; i <= n; i++) {
      String ligne = flux.readLine();
      System.out.println(i + " : " + ligne.toUpperCase());
    }
  }
}
