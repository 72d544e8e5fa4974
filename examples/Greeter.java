import java.io.*;

public class Greeter {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  static String ask(String question) throws IOException {   
    System.out.print(question + " ");
    return flux.readLine();
  }

  public static void main(String[] args) throws IOException {
    String name = ask("What is your name?");
    if (name == null || name.trim().isEmpty()) { 
      name = "stranger";
    }
    System.out.println();
    System.out.println("Hello, " + name + "! Your name has " + name.length() + " letters.");
  }
}
