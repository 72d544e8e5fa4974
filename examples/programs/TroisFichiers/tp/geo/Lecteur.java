package tp.geo;

import java.util.Scanner;

class Lecteur {
  private final Scanner scanner = new Scanner(System.in);

  Point point(String nom) {
    System.out.print(nom + " (x y) : ");
    return new Point(scanner.nextDouble(), scanner.nextDouble());
  }
}
