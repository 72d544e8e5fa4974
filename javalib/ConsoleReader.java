import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStream;
import java.io.InputStreamReader;
import java.io.UncheckedIOException;

/** Keyboard lines, without the checked exception of BufferedReader. */
public class ConsoleReader {
  private final BufferedReader reader;

  public ConsoleReader(InputStream source) {
    reader = new BufferedReader(new InputStreamReader(source));
  }

  /** The next line without its line end, or null at the end of input. */
  public String readLine() {
    try {
      return reader.readLine();
    } catch (IOException e) {
      throw new UncheckedIOException(e);
    }
  }
}
