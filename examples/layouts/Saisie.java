import java.io.*;

public class Saisie {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  // Returns "" when the line cannot be read.
  static String lire() {
    try {
      return flux.readLine();
    } catch (IOException e) {
      System.out.println("erreur de lecture");
    }
    return "";
  }

  static int lireEntier() {
    while (true) {
      try {
        return Integer.parseInt(flux.readLine());
      } catch (IOException | NumberFormatException e) {
        System.out.println("un entier, svp");
      }
    }
  }

  static double lireReel() {
    double d = 0;
    try {
      d = Double.parseDouble(flux.readLine());
    } catch (IOException e) {
      d = -1;
    } catch (NumberFormatException e) {
      d = -2;
    }
    return d;
  }

  public static void main(String[] args) {
    String nom = lire();
    try {
      System.out.println("Nom : " + nom.toUpperCase());
    } catch (NullPointerException e) {
      System.out.println("pas de nom");
    }
    int age = lireEntier();
    double taille;
    try {
      taille = lireReel();
    } finally {
      System.out.println("lu");
    }
    System.out.println(nom + ", " + age + " ans, " + taille + " m");
  }
}
