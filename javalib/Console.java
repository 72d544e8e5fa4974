import java.io.PrintStream;

/**
 * What converted programs call: Console.out to print, Console.in to read lines,
 * Console.setTitle to name the window.
 *
 * <p>With a display, they go to a console window of their own (see
 * FrameConsole). Without one, or with -Djava.awt.headless=true, output goes to
 * standard output and input comes from standard input, so pipes and scripts
 * work as with any console program.
 */
public class Console {
  public static final PrintStream out;
  public static final ConsoleReader in;

  private static final FrameConsole window;
  private static volatile String title = "";

  static {
    window = FrameConsole.open();
    if (window == null) {
      out = new ConsolePrinter(System.out);
      in = new ConsoleReader(System.in);
    } else {
      out = window.printer();
      in = window.reader();
    }
  }

  private Console() {}

  /** Names the window (and opens it); with no window the title is only kept. */
  public static void setTitle(String newTitle) {
    title = newTitle == null ? "" : newTitle;
    if (window != null) window.title(title);
  }

  public static String getTitle() {
    return title;
  }
}
