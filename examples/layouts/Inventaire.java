import java.io.*;
import java.util.*;

public class Inventaire {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String[] args) throws IOException {
    List<String> articles = new ArrayList<String>();
    String ligne;
    while ((ligne = flux.readLine()) != null && !ligne.equals("fin")) {
      articles.add(ligne);
    }
    Collections.sort(articles);
    System.out.println(articles.size() + " articles : " + articles);
  }
}
