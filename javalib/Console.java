import java.io.PrintStream;
import java.io.PrintWriter;
import java.io.Reader;
import java.nio.charset.Charset;

/**
 * What converted programs call: Console.out to print, Console.in to read lines,
 * Console.setTitle to name the window.
 *
 * <p>With a display, they go to a console window of their own (see
 * FrameConsole), which usually runs the program in a second process: there
 * the program's standard streams are pipes to the window, its System.err
 * joining System.out between marks (see ConsolePrinter). Without a display,
 * or with -Djava.awt.headless=true, output goes to standard output and input
 * comes from standard input, so pipes and scripts work as with any console
 * program.
 *
 * <p>Console.console() stands for System.console(), which is null wherever no
 * terminal is, the window included: the same methods, on the same lines.
 */
public class Console {
  public static final PrintStream out;
  public static final ConsoleReader in;

  private static final FrameConsole window;
  private static volatile String title = "";
  private static final Console console;
  private static final PrintWriter writer;
  private static volatile boolean mainFailed;

  static {
    if (Boolean.getBoolean(FrameConsole.CHILD)) {
      // The window is another process's, which started this one.
      window = null;
      ConsolePrinter printer;
      try {
        printer = ConsolePrinter.joinStreams();
      } catch (java.io.UnsupportedEncodingException e) {
        throw new IllegalStateException(e);
      }
      CurseurCanvasConsole typed =
          CurseurCanvasConsole.fromWindow(new java.io.FileInputStream(java.io.FileDescriptor.in));
      System.setIn(typed);
      out = printer;
      in = new ConsoleReader(typed);
      if (Thread.getDefaultUncaughtExceptionHandler() == null)
        Thread.setDefaultUncaughtExceptionHandler(Console::uncaught);
      FrameConsole.endWithTheProgram(() -> mainFailed);
    } else {
      window = FrameConsole.open();
      if (window == null) {
        out = new ConsolePrinter(System.out);
        in = new ConsoleReader(System.in);
      } else {
        out = window.printer();
        in = window.reader();
      }
    }
    writer = new PrintWriter(out, true);
    console = new Console();
  }

  private Console() {}

  /** As Java reports it; the window hears when main failed. */
  private static void uncaught(Thread thread, Throwable e) {
    FrameConsole.report(thread, e);
    if (thread.getName().equals("main")) {
      mainFailed = true;
      ConsolePrinter.tell(e instanceof OutOfMemoryError ? "m" : "x");
    }
  }

  /** Names the window (and opens it); with no window the title is only kept. */
  public static void setTitle(String newTitle) {
    title = newTitle == null ? "" : newTitle;
    if (window != null) window.title(title);
    else ConsolePrinter.tell("t" + title);
  }

  public static String getTitle() {
    return title;
  }

  // ---------------------------------------------------------------------
  // What System.console() offers, on Console.out and Console.in.

  /** The console, never null: what converted programs get for System.console(). */
  public static Console console() {
    return console;
  }

  public PrintWriter writer() {
    return writer;
  }

  public Reader reader() {
    return in;
  }

  public Console format(String format, Object... args) {
    writer.format(format, args).flush();
    return this;
  }

  public Console printf(String format, Object... args) {
    return format(format, args);
  }

  /** The next line, or null at the end of input. */
  public String readLine() {
    writer.flush();
    return in.readLine();
  }

  /** Prints the prompt `format` with `args`, then reads a line. */
  public String readLine(String format, Object... args) {
    format(format, args);
    return in.readLine();
  }

  /** A line read without showing it, or null at the end of input. */
  public char[] readPassword() {
    writer.flush();
    String line = in.readHidden();
    return line == null ? null : line.toCharArray();
  }

  public char[] readPassword(String format, Object... args) {
    format(format, args);
    return readPassword();
  }

  public void flush() {
    writer.flush();
  }

  /** The charset the console's bytes are in. */
  public Charset charset() {
    return Charset.defaultCharset();
  }
}
