import java.io.*;

/** A Buffer of lines; prints "Buffer" as it goes. */
public class Buffer {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));
  private final StringBuilder lignes = new StringBuilder();

  void ajouter(String ligne) {
    lignes.append(ligne).append('|');
  }

  public static void main(String[] args) throws IOException {
    Buffer buffer = new Buffer();
    String ligne;
    while ((ligne = flux.readLine()) != null) buffer.ajouter(ligne);
    System.out.println("Buffer contient : " + buffer.lignes);
    System.out.println("classe Buffer, BufferedReader, Buffer.java");
  }
}
