import java.util.Scanner;

public record Enregistrement(String nom, int quantite) {
  Enregistrement doubler() {
    return new Enregistrement(nom, 2 * quantite);
  }

  public static void main(String[] args) {
    Scanner in = new Scanner(System.in);
    Enregistrement e = new Enregistrement(in.next(), in.nextInt());
    System.out.println(e.nom() + " : " + e.quantite() + " -> " + e.doubler().quantite());
  }
}
