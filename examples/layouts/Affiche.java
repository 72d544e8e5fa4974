import java.io.*;

// A text block (Java 15).
public class Affiche {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String[] args) throws IOException {
    System.out.print("Titre ? ");
    String titre = flux.readLine();
    String cadre = """
        +----------------------+
        | %-20s |
        +----------------------+
        """;
    System.out.print(String.format(cadre, titre));
  }
}
