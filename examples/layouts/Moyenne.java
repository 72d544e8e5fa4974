import java.io.*;

public class Moyenne {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String[] args) throws IOException {
    double somme = 0;
    int nombre = 0;
    String ligne = flux.readLine();
    while (ligne != null && !ligne.trim().isEmpty()) {
      somme += Double.parseDouble(ligne.trim());
      nombre++;
      ligne = flux.readLine();
    }
    if (nombre == 0) {
      System.out.println("Aucune note.");
    } else {
      System.out.println("Moyenne de " + nombre + " notes : " + (somme / nombre));
    }
  }
}
