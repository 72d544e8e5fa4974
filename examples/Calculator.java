import java.io.*;

/* Sums the numbers typed, one a line, up to an empty line or the end. */
public class Calculator {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  private double total;
  private int count;

  void add(double value) { 
    total = total + value;
    count = count + 1;
  }

  static Calculator readAll() throws IOException {
    Calculator calculator = new Calculator();
    String line = flux.readLine();
    while (line != null && line.length() > 0) {
      try {
        calculator.add(Double.parseDouble(line.trim()));
      } catch (NumberFormatException e) {
        System.out.println("not a number: " + line);  
      }
      line = flux.readLine();
    }
    return calculator;
  }

  public static void main(String[] args) throws IOException {
    System.out.println("Numbers, one a line; an empty line ends:");
    Calculator calculator = readAll();
    System.out.println("count " + calculator.count + ", sum " + calculator.total);
    if (calculator.count > 0) {
      System.out.println("average " + calculator.total / calculator.count);
    }
  }
}
