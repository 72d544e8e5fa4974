import java.io.*;

/* A quiz in colours: ANSI escape sequences, as in a terminal. */
public class Quiz {
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String[] args) throws IOException {
    System.out.println("\033[1;36m=== Le quiz des tables ===\033[0m");
    System.out.print("Combien font 6 x 7 ? ");
    String reponse = flux.readLine();
    if (reponse != null && reponse.trim().equals("42"))
      System.out.println("\033[32mBravo !\033[0m 6 x 7 = 42");
    else
      System.out.println("\033[31mPerdu :\033[0m 6 x 7 = 42, pas " + reponse);
  }
}
