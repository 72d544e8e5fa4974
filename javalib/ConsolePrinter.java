import java.io.OutputStream;
import java.io.PrintStream;

/** Everything System.out offers, flushed at each line so prompts show. */
public class ConsolePrinter extends PrintStream {
  public ConsolePrinter(OutputStream target) {
    super(target, true);
  }
}
