package tp.geo;

public class Point {
  final double x, y;

  Point(double x, double y) {
    this.x = x;
    this.y = y;
  }

  double distance(Point autre) {
    return Math.hypot(x - autre.x, y - autre.y);
  }

  @Override
  public String toString() {
    return "(" + x + ", " + y + ")";
  }
}
