import java.io.*;

public class Quatre {
    public static BufferedReader flux=new BufferedReader(new InputStreamReader(System.in)) ;

    static int lireEntier(String invite) throws IOException {
        System.out.print(invite);
        return Integer.parseInt(flux.readLine().trim());
    }

    public static void main(String[] args) throws IOException {
        int a = lireEntier("a = ");
        int b = lireEntier("b = ");
        System.out.println("pgcd(" + a + ", " + b + ") = " + pgcd(a, b));
    }

    static int pgcd(int a, int b) {
        return b == 0 ? a : pgcd(b, a % b);
    }
}
