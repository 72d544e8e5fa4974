import java.io.*;

public class Ressource {
  public static void main(String[] args) {
    try (BufferedReader flux = new BufferedReader(new InputStreamReader(System.in))) {
      String a = flux.readLine(), b = flux.readLine();
      System.out.println(a + " et " + b);
    } catch (IOException e) {
      System.out.println("erreur");
    }
  }
}
