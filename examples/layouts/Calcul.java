// A local Scanner, written with its package, reading numbers until there are none.
public class Calcul {
  public static void main(String[] args) {
    java.util.Scanner sc = new java.util.Scanner(System.in);
    long produit = 1;
    int lus = 0;
    while (sc.hasNextInt()) {
      produit *= sc.nextInt();
      lus++;
    }
    System.out.println(lus + " nombres, produit " + produit);
    if (sc.hasNext()) System.out.println("arrete sur : " + sc.next());
  }
}
