import java.io.*;

public class Devinette {
  public static void main(String[] args) throws IOException {
    BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));
    int secret = 42, essais = 0;
    String ligne;
    while ((ligne = flux.readLine()) != null) {
      essais++;
      int n = Integer.parseInt(ligne);
      if (n < secret) System.out.println(n + " : trop petit");
      else if (n > secret) System.out.println(n + " : trop grand");
      else {
        System.out.println("Trouve en " + essais + " essais !");
        return;
      }
    }
    System.out.println("Abandon apres " + essais + " essais.");
  }
}
