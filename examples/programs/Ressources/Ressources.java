import java.io.*;

public class Ressources {
  public static void main(String[] args) {
    try (BufferedReader clavier = new BufferedReader(new InputStreamReader(System.in));
         PrintWriter sortie = new PrintWriter(System.out, true)) {
      sortie.println("Trois mots :");
      for (int i = 0; i < 3; i++) sortie.println("<" + clavier.readLine() + ">");
    } catch (IOException e) {
      System.out.println("erreur : " + e);
    }
  }
}
