import java.io.*;

public class DataEntree {
  @SuppressWarnings("deprecation")
  public static void main(String[] args) throws IOException {
    DataInputStream entree = new DataInputStream(System.in);
    String ligne;
    int n = 0;
    while ((ligne = entree.readLine()) != null) System.out.println(++n + ". " + ligne);
  }
}
