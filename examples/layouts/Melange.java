import java.io.*;

// Reads with flux.readLine() and prints with System.out, as before.
public class Melange {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));
  /* System.out.println(flux.readLine()); stays in this comment */
  public static void main(String[] args) throws IOException {   
    String s = flux.readLine();
    System.out.println("System.out and flux.readLine() in a string: " + s);
    System.out.println('"' + "Melange" + '"' + " throws IOException");
  }
}
