import java.io.*;

// A switch expression with case ... -> rules (Java 14).
public class Jours {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String[] args) throws IOException {
    String ligne;
    while ((ligne = flux.readLine()) != null) {
      int jour = Integer.parseInt(ligne.trim());
      String nom = switch (jour) {
        case 1 -> "lundi";
        case 2 -> "mardi";
        case 3, 4, 5 -> "milieu de semaine";
        case 6, 7 -> {
          String fin = "week-end";
          yield fin.toUpperCase();
        }
        default -> "jour " + jour + " inconnu";
      };
      System.out.println(jour + " : " + nom);
    }
  }
}
