import java.io.*;
import java.util.Scanner;

public class ScannerStatique {
  static InputStreamReader flot = new InputStreamReader(System.in);
  static Scanner sc = new Scanner(flot);

  public static void main(String[] args) {
    System.out.print("Nombre de notes : ");
    int n = sc.nextInt();
    double somme = 0;
    for (int i = 0; i < n; i++) somme += sc.nextDouble();
    System.out.printf("Moyenne : %.2f%n", somme / n);
  }
}
