package tp1;

import java.util.ArrayList;
import java.util.List;
import modele.Etudiant;
import outils.Lire;

// An IDE's project: the main class in tp1, what it uses in other packages,
// one of which uses a class of tp1 again.
public class Moyenne {
  public static void main(String[] args) {
    List<Etudiant> promo = new ArrayList<>();
    int n = Lire.entier("Nombre d'etudiants : ");
    for (int i = 0; i < n; i++) {
      String nom = Lire.ligne("Nom : ");
      double note = Lire.reel("Note de " + nom + " : ");
      promo.add(new Etudiant(nom, note));
    }
    double somme = 0;
    for (Etudiant e : promo) {
      System.out.println(e);
      somme += e.getNote();
    }
    System.out.printf("Moyenne : %.2f (sur %d)%n", somme / n, Bareme.MAX);
    System.out.println(new Moyenne().getClass().getName() + " a fini");
  }
}
