import java.util.Scanner;

// A record as the main class: what it prints of its own name is its own.
public record Point(int x, int y) {
  public Point {
    if (x < 0 || y < 0)
      throw new IllegalArgumentException("coordonnee negative");
  }

  public static void main(String[] args) {
    Scanner clavier = new Scanner(System.in);
    System.out.print("x y ? ");
    Point p = new Point(clavier.nextInt(), clavier.nextInt());
    System.out.println(p);
    System.out.println(p.getClass().getName() + " / " + Point.class.getSimpleName());
    System.out.println(new Object() {}.getClass().getName());
    Runnable r =
        () -> System.out.println("dans " + new Exception().getStackTrace()[0].getClassName());
    r.run();
  }
}
