public class DeuxFichiers {
  public static void main(String[] args) {
    System.out.print("Votre prenom : ");
    String prenom = Clavier.lireLigne();
    System.out.print("Votre age : ");
    int age = Clavier.lireEntier();
    System.out.println(prenom + " aura " + (age + 1) + " ans l'an prochain.");
  }
}
