import java.io.*;

// Two top-level classes in one file; the reader is a local named lecteur.
public class Formes {
  public static void main(String[] args) throws IOException {
    BufferedReader lecteur = new BufferedReader(new InputStreamReader(System.in));
    double total = 0;
    String ligne;
    while ((ligne = lecteur.readLine()) != null) {
      Cercle c = new Cercle(Double.parseDouble(ligne));
      System.out.printf("rayon %.1f : aire %.2f%n", c.rayon, c.aire());
      total += c.aire();
    }
    System.out.printf("total %.2f%n", total);
  }
}

class Cercle {
  final double rayon;

  Cercle(double rayon) {
    this.rayon = rayon;
  }

  double aire() {
    return Math.PI * rayon * rayon;
  }
}
