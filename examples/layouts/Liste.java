import java.io.*;
import java.util.*;

// A nested class, an anonymous class and a keyboard reader named clavier.
public class Liste {
  static BufferedReader clavier = new BufferedReader(new InputStreamReader(System.in));

  static class Noeud {
    final String mot;
    final Noeud suivant;

    Noeud(String mot, Noeud suivant) {
      this.mot = mot;
      this.suivant = suivant;
    }
  }

  public static void main(String[] args) throws IOException {
    Noeud tete = null;
    System.out.println("Des mots, une ligne vide pour finir :");
    for (String ligne = clavier.readLine(); ligne != null && !ligne.isEmpty();
        ligne = clavier.readLine())
      tete = new Noeud(ligne.trim(), tete);
    List<String> mots = new ArrayList<>();
    for (Noeud n = tete; n != null; n = n.suivant) mots.add(n.mot);
    Collections.sort(mots, new Comparator<String>() {
      public int compare(String a, String b) {
        return a.length() != b.length() ? a.length() - b.length() : a.compareTo(b);
      }
    });
    System.out.println(mots.size() + " mots : " + mots);
  }
}
