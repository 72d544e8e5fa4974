import java.io.*;

public class Somme {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String... args) throws IOException {
    int total = 0;
    for (String s = flux.readLine(); s != null; s = flux.readLine()) total += Integer.parseInt(s);
    System.out.println("Somme = " + total);
  }
}
