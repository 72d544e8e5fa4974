package tp.geo;

public class TroisFichiers {
  public static void main(String[] args) {
    Lecteur lecteur = new Lecteur();
    Point a = lecteur.point("A");
    Point b = lecteur.point("B");
    System.out.println();
    System.out.println("De " + a + " a " + b + " : " + a.distance(b));
  }
}
