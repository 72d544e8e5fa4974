import java.io.*;

public class Tableau
{
  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

  public static void main(String args[]) throws IOException
  {
    int n = Integer.parseInt(flux.readLine());
    int[] t = new int[n];
    for (int i = 0; i < n; i++)
    {
      t[i] = Integer.parseInt(flux.readLine());
    }
    int max = t[0];
    for (int v : t) if (v > max) max = v;
    System.out.println("Maximum : " + max);
  }
}
