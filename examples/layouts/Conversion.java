import java.io.BufferedReader;
import java.io.InputStreamReader;
import java.io.IOException;

public class Conversion {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  static double celsius(double f) {
    return (f - 32) * 5 / 9;
  }

  public static void main(String[] args) throws IOException {
    System.out.print("Degres Fahrenheit ? ");
    double f = Double.parseDouble(flux.readLine());
    System.out.printf("%.1f F = %.1f C%n", f, celsius(f));
  }
}
