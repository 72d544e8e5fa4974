import java.io.*;

public class Parametre {
  static int somme(BufferedReader br, int n) throws IOException {
    int s = 0;
    for (int i = 0; i < n; i++) s += Integer.parseInt(br.readLine());
    return s;
  }

  static String titre(BufferedReader br) throws IOException {
    return br.readLine().toUpperCase();
  }

  public static void main(String[] args) throws IOException {
    BufferedReader br = new BufferedReader(new InputStreamReader(System.in));
    System.out.println("Titre : " + titre(br));
    System.out.println("Somme : " + somme(br, 3));
  }
}
