import java.io.PrintStream;

/**
 * Headless stand-in for the console class library: what converted programs
 * call. Output goes to standard output, input comes from standard input.
 */
public class Console {
  public static final PrintStream out = new ConsolePrinter(System.out);
  public static final ConsoleReader in = new ConsoleReader(System.in);

  private static final FrameConsole frame = new FrameConsole();

  private Console() {}

  /** The window title; with no window it is only kept. */
  public static void setTitle(String title) {
    frame.setTitle(title);
  }

  public static String getTitle() {
    return frame.getTitle();
  }
}
