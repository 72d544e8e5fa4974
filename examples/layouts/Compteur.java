import java.io.*;
import java.util.*;

// Local variables declared with var (Java 10).
public class Compteur {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String[] args) throws IOException {
    var compte = new TreeMap<String, Integer>();
    for (var ligne = flux.readLine(); ligne != null; ligne = flux.readLine())
      for (var mot : ligne.toLowerCase().split("\\s+"))
        if (!mot.isEmpty()) compte.merge(mot, 1, Integer::sum);
    for (var entree : compte.entrySet())
      System.out.println(entree.getKey() + " " + entree.getValue());
  }
}
