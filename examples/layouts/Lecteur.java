import java.io.*;

public class Lecteur {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  static int compterCaracteres(BufferedReader r) throws IOException {
    int n = 0;
    while (r.read() != -1) n++;
    return n;
  }

  public static void main(String[] args) throws IOException {
    String premiere = flux.readLine();
    System.out.println("Premiere ligne : " + premiere);
    System.out.println("Reste : " + compterCaracteres(flux) + " caracteres");
  }
}
