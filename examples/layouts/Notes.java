import java.util.Scanner;

// A Scanner field reading a count, numbers, then whole lines.
public class Notes {
  static Scanner entree = new Scanner(System.in);

  public static void main(String[] args) {
    System.out.print("Combien de notes ? ");
    int n = entree.nextInt();
    double somme = 0;
    for (int i = 0; i < n; i++) somme += entree.nextDouble();
    entree.nextLine();
    System.out.print("Matiere : ");
    String matiere = entree.nextLine();
    System.out.printf("%s : moyenne %.2f sur %d notes%n", matiere, somme / n, n);
    while (entree.hasNextLine()) System.out.println("reste : " + entree.nextLine());
  }
}
