import java.io.*;

public class Journal {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  static void ecrire(String fichier, String texte) throws IOException {
    FileWriter w = new FileWriter(fichier, true);
    w.write(texte + "\n");
    w.close();
  }

  static int compter(String fichier) throws IOException {
    BufferedReader lecteur = new BufferedReader(new FileReader(fichier));
    int n = 0;
    while (lecteur.readLine() != null) n++;
    lecteur.close();
    return n;
  }

  static String demander(String question) throws IOException {
    System.out.print(question);
    return flux.readLine();
  }

  public static void main(String[] args) throws IOException {
    new File("journal.txt").delete();
    String ligne;
    while ((ligne = demander("> ")) != null && !ligne.isEmpty()) {
      ecrire("journal.txt", ligne);
    }
    System.out.println();
    System.out.println(compter("journal.txt") + " lignes dans le journal");
  }
}
