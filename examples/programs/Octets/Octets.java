import java.io.IOException;

public class Octets {
  // Reads a line byte by byte, as the first chapters of some courses do.
  static String lire() throws IOException {
    StringBuilder ligne = new StringBuilder();
    int c;
    while ((c = System.in.read()) != -1 && c != '\n')
      if (c != '\r')
        ligne.append((char) c);
    return c == -1 && ligne.length() == 0 ? null : ligne.toString();
  }

  public static void main(String[] args) throws IOException {
    System.out.print("Mot : ");
    String mot = lire();
    System.out.println(new StringBuilder(mot).reverse());
    System.out.println("octets restants : " + (System.in.available() >= 0));
  }
}
