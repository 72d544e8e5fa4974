import java.io.*;

class Tabulation {
	private static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));

	public static void main(String[] args) throws IOException {
		System.out.print("Table de : ");
		int n = Integer.parseInt(flux.readLine());
		for (int i = 1; i <= 10; i++) {
			System.out.println(i + " x " + n + " = " + (i * n));
		}
	}
}
