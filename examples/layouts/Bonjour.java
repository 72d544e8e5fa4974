import java.io.*;

public class Bonjour {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String[] arg) throws IOException {
    System.out.print("Votre nom ? ");
    String nom = flux.readLine();
    System.out.println("Bonjour " + nom + " (" + arg.length + " arguments)");
  }
}
