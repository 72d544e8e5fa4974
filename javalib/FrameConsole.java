import java.awt.EventQueue;
import java.awt.GraphicsEnvironment;
import java.awt.event.WindowEvent;
import java.awt.event.WindowListener;
import java.io.PrintStream;
import java.io.UnsupportedEncodingException;
import javax.swing.JFrame;
import javax.swing.JScrollPane;
import javax.swing.ScrollPaneConstants;

/**
 * The console's window: a canvas in a scroll pane, titled by the program.
 *
 * <p>It opens the first time the program sets its title, prints or reads. What
 * the program writes to System.out and System.err shows in it too (and still
 * goes where it went), and so does the trace of an uncaught exception: a
 * program started by a double click has no terminal. When main returns, the
 * window stays open, its title saying that the program has finished; closing
 * it ends the program at any time, also while it waits for a line.
 */
public class FrameConsole extends JFrame implements WindowListener {
  private static final long serialVersionUID = 1L;

  private final CurseurCanvasConsole canvas = new CurseurCanvasConsole();
  private String title = "Console";
  private volatile boolean failed;
  private Thread main;
  private ConsolePrinter printer;
  private ConsoleReader reader;

  private FrameConsole() {
    super("Console");
    setDefaultCloseOperation(DO_NOTHING_ON_CLOSE);
    addWindowListener(this);
    getContentPane()
        .add(
            new JScrollPane(
                canvas,
                ScrollPaneConstants.VERTICAL_SCROLLBAR_ALWAYS,
                ScrollPaneConstants.HORIZONTAL_SCROLLBAR_NEVER));
    // Not packed here: a packed window keeps the program alive, shown or not.
  }

  /**
   * The window, set up and ready to open; null when there is no display, or
   * no graphical part in this Java, to show it on.
   */
  public static FrameConsole open() {
    if (GraphicsEnvironment.isHeadless()) return null;
    FrameConsole[] made = new FrameConsole[1];
    try {
      EventQueue.invokeAndWait(() -> made[0] = new FrameConsole());
      made[0].connect();
      return made[0];
    } catch (InterruptedException e) {
      Thread.currentThread().interrupt();
      return null;
    } catch (Exception | LinkageError | java.awt.AWTError e) {
      Throwable cause = e.getCause() != null ? e.getCause() : e;
      System.err.println("Console: no window (" + cause + "); using standard input and output");
      return null;
    }
  }

  private void connect() throws UnsupportedEncodingException {
    printer = new ConsolePrinter(canvas, null);
    reader = new ConsoleReader(canvas);
    System.setOut(new ConsolePrinter(canvas, System.out));
    System.setErr(new ConsolePrinter(canvas, System.err));
    main = mainThread();
    if (Thread.getDefaultUncaughtExceptionHandler() == null)
      Thread.setDefaultUncaughtExceptionHandler(this::uncaught);
    if (main != null) {
      Thread watcher = new Thread(this::watch, "Console watcher");
      watcher.setDaemon(true);
      watcher.start();
    }
  }

  /** Where the program's output goes. */
  public PrintStream printer() {
    return printer;
  }

  /** Where the program's input comes from. */
  public ConsoleReader reader() {
    return reader;
  }

  /** The canvas, for whoever wants to look at the text. */
  public CurseurCanvasConsole canvas() {
    return canvas;
  }

  /** Titles the window, and opens it. Any thread. */
  public void title(String newTitle) {
    EventQueue.invokeLater(
        () -> {
          title = newTitle == null ? "" : newTitle;
          setTitle(title);
          canvas.reveal();
        });
  }

  private static Thread mainThread() {
    Thread current = Thread.currentThread();
    if (current.getName().equals("main")) return current;
    for (Thread thread : Thread.getAllStackTraces().keySet())
      if (thread.getName().equals("main") && thread.getThreadGroup() != null
          && thread.getThreadGroup().getName().equals("main"))
        return thread;
    return null;
  }

  private void watch() {
    for (; ; ) {
      try {
        main.join();
        break;
      } catch (InterruptedException e) {
        // Only the end of main counts.
      }
    }
    EventQueue.invokeLater(this::finished);
  }

  private void finished() {
    canvas.stopInput();
    setTitle(title + (failed ? " (failed)" : " (finished)"));
  }

  private void uncaught(Thread thread, Throwable e) {
    if (thread == main) failed = true;
    // As Java prints it, onto System.err, which shows in the window.
    System.err.print("Exception in thread \"" + thread.getName() + "\" ");
    e.printStackTrace(System.err);
  }

  @Override
  public void windowClosing(WindowEvent e) {
    System.exit(failed ? 1 : 0);
  }

  @Override
  public void windowOpened(WindowEvent e) {}

  @Override
  public void windowClosed(WindowEvent e) {}

  @Override
  public void windowIconified(WindowEvent e) {}

  @Override
  public void windowDeiconified(WindowEvent e) {}

  @Override
  public void windowActivated(WindowEvent e) {}

  @Override
  public void windowDeactivated(WindowEvent e) {}
}
