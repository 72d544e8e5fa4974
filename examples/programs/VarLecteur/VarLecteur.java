import java.io.*;

public class VarLecteur {
  public static void main(String[] args) throws IOException {
    var lecteur = new BufferedReader(new InputStreamReader(System.in));
    int total = 0;
    for (String ligne; (ligne = lecteur.readLine()) != null && !ligne.isEmpty();) {
      total += Integer.parseInt(ligne);
      System.out.println("total : " + total);
    }
    lecteur.close();
  }
}
