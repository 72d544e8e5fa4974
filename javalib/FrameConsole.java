import java.awt.BorderLayout;
import java.awt.EventQueue;
import java.awt.FlowLayout;
import java.awt.GraphicsEnvironment;
import java.awt.Rectangle;
import java.awt.Toolkit;
import java.awt.datatransfer.StringSelection;
import java.awt.event.ActionEvent;
import java.awt.event.ActionListener;
import java.awt.event.InputEvent;
import java.awt.event.KeyEvent;
import java.awt.event.WindowEvent;
import java.awt.event.WindowListener;
import java.io.File;
import java.io.IOException;
import java.io.PrintStream;
import java.io.UnsupportedEncodingException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.List;
import javax.swing.JButton;
import javax.swing.JComponent;
import javax.swing.JFileChooser;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.JMenuItem;
import javax.swing.JOptionPane;
import javax.swing.JPanel;
import javax.swing.JPopupMenu;
import javax.swing.JTextField;
import javax.swing.KeyStroke;

/**
 * The console's window: the canvas with its scroll bar, titled by the
 * program, a menu on the right button, and a find bar.
 *
 * <p>When the Java launcher's main method first uses the library, this
 * process becomes the window's alone: it opens the window and runs the same
 * command again for the program, in a process of its own whose standard
 * streams are pipes to the window. That process ends as it will (main
 * returns, an exception, System.exit(n), memory run out, Ctrl+C) and the
 * window stays open, a last line and its title saying how, until it is
 * closed; then this process exits with the program's status. Closing it
 * before ends the program, its shutdown hooks given a few seconds.
 *
 * <p>Where the library starts elsewhere (on the event thread, in a static
 * part, in a test), under a debugger, or with -Dconsoletools.host=false,
 * the program and the window share this process: System.out and
 * System.err show in the window (and still go where they went), System.in
 * reads what is typed in it, and the window says the program has ended when
 * main and every other thread of its own have, and its own windows are
 * closed.
 *
 * <p>Its keys: Ctrl+C copies the selection, or with none interrupts the
 * program; Ctrl+Shift+C copies, Ctrl+V (or Shift+Insert) pastes, Ctrl+D (or
 * Ctrl+Z) ends the input of the read that waits, Ctrl+A selects all, Ctrl+F
 * finds (F3 and Shift+F3 again), Ctrl+L clears, Ctrl+S saves the
 * transcript, Ctrl+plus, Ctrl+minus, Ctrl+0 and Ctrl+wheel zoom, Page Up and
 * Down (with Shift too), Ctrl+Home and Ctrl+End scroll, Alt+Up and Alt+Down
 * read the output line by line. The others edit the line being typed (see
 * CurseurCanvasConsole).
 */
public class FrameConsole extends JFrame implements WindowListener {
  private static final long serialVersionUID = 1L;
  /** How long closing waits for the program's shutdown hooks before it ends it anyway. */
  private static final long CLOSE_GRACE = 3000;
  /** Set in the program's process when a window's process runs it. */
  static final String CHILD = "consoletools.child";
  /** Set to false, the program and its window share one process. */
  static final String HOST = "consoletools.host";
  /** A terminal's status for a program ended by Ctrl+C. */
  private static final int INTERRUPTED = 130;

  private final CanvasConsole canvas = new CanvasConsole();
  private final CurseurCanvasConsole input = new CurseurCanvasConsole(canvas);
  private final JPanel findBar = new JPanel(new FlowLayout(FlowLayout.LEFT, 4, 2));
  private final JTextField findField = new JTextField(24);
  private final JLabel findStatus = new JLabel(" ");
  private final JPopupMenu menu = new JPopupMenu();
  private String title = "Console";
  private boolean revealed;
  private volatile boolean failed;
  private volatile boolean interrupted;
  private volatile boolean outOfMemory;
  private volatile boolean exiting;
  private volatile Integer status;  // the program's exit status, once it has ended
  private Process program;  // the program's process, when it runs in one of its own
  private Thread main;
  private ConsolePrinter printer;
  private ConsoleReader reader;

  private FrameConsole() {
    super("Console");
    setDefaultCloseOperation(DO_NOTHING_ON_CLOSE);
    addWindowListener(this);
    canvas.connect(input, this::key, this::reveal);
    getContentPane().add(canvas, BorderLayout.CENTER);
    getContentPane().add(canvas.scrollBar(), BorderLayout.EAST);
    buildFindBar();
    buildMenu();
    // Not packed here: a packed window keeps the program alive, shown or not.
  }

  /**
   * The window, set up and ready to open; null when there is no display, or
   * no graphical part in this Java, to show it on. Any thread.
   */
  public static FrameConsole open() {
    if (GraphicsEnvironment.isHeadless()) return null;
    FrameConsole[] made = new FrameConsole[1];
    try {
      List<String> command = programCommand();
      if (EventQueue.isDispatchThread()) made[0] = new FrameConsole();
      else EventQueue.invokeAndWait(() -> made[0] = new FrameConsole());
      if (command != null) made[0].host(command);
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
    // What is printed also goes where it went before, a terminal perhaps.
    // Console.out and System.out are one stream, as on a terminal: a line
    // one begins and the other ends stays one line, in order.
    printer = new ConsolePrinter(canvas, System.out, CanvasConsole.OUTPUT, this);
    reader = new ConsoleReader(input);
    System.setOut(printer);
    System.setErr(new ConsolePrinter(canvas, System.err, CanvasConsole.ERROR, this));
    System.setIn(input);
    main = mainThread();
    if (Thread.getDefaultUncaughtExceptionHandler() == null)
      Thread.setDefaultUncaughtExceptionHandler(this::uncaught);
    daemon("Console watcher", this::watch);
  }

  /** A thread of the library's, started; it keeps no program alive. */
  static Thread daemon(String name, Runnable run) {
    Thread thread = new Thread(run, name);
    thread.setDaemon(true);
    thread.start();
    return thread;
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
  public CanvasConsole canvas() {
    return canvas;
  }

  /** What is typed. */
  public CurseurCanvasConsole input() {
    return input;
  }

  /** Titles the window, and opens it. Any thread. */
  public void title(String newTitle) {
    EventQueue.invokeLater(
        () -> {
          title = newTitle == null ? "" : newTitle;
          setTitle(title);
          reveal();
        });
  }

  /**
   * Shows the window, the first time there is something to see: a program
   * that never prints or reads opens none. Its first size fits the screen,
   * whatever its scale. Event thread.
   */
  private void reveal() {
    if (revealed) return;
    revealed = true;
    pack();
    Rectangle screen = GraphicsEnvironment.getLocalGraphicsEnvironment().getMaximumWindowBounds();
    int width = screen.width * 19 / 20, height = screen.height * 19 / 20;
    while ((getWidth() > width || getHeight() > height) && canvas.fontSize() > 8) {
      canvas.setFontSize(canvas.fontSize() - 1);
      pack();
    }
    if (getWidth() > width || getHeight() > height)
      setSize(Math.min(getWidth(), width), Math.min(getHeight(), height));
    setLocationRelativeTo(null);
    setVisible(true);
    canvas.requestFocusInWindow();
  }


  // ---------------------------------------------------------------------
  // The program in a process of its own. When the Java launcher's main
  // thread first uses the library from the main method it called, this
  // process keeps the window and runs the same command again, marked, with
  // pipes for the standard streams: whatever becomes of that process
  // (System.exit, an uncaught exception, memory run out), this one sees its
  // status and shows its last words until the window is closed.

  /**
   * The command that started this Java, to start the program again in a
   * process of its own; null when the library is not used from the main
   * method the launcher called (the event thread, a static part, a test),
   * or when the command cannot be known.
   */
  private static List<String> programCommand() {
    if (Boolean.getBoolean(CHILD) || "false".equals(System.getProperty(HOST))) return null;
    Thread current = Thread.currentThread();
    if (!current.getName().equals("main")) return null;
    StackTraceElement[] stack = current.getStackTrace();
    int caller = 0;
    while (caller < stack.length && isLibrary(stack[caller].getClassName())) ++caller;
    if (caller != stack.length - 1 || !stack[caller].getMethodName().equals("main")) return null;
    List<String> command = commandLine();
    if (command == null || command.isEmpty() || debugged(command)) return null;
    String bin = System.getProperty("java.home") + File.separator + "bin" + File.separator;
    boolean windows = File.separatorChar == '\\';
    // javaw on Windows: no console window of its own for the program.
    File java = new File(bin + (windows ? "javaw.exe" : "java"));
    if (!java.exists()) java = new File(bin + (windows ? "java.exe" : "java"));
    command.set(0, java.getPath());
    command.add(1, "-D" + CHILD + "=true");
    return command;
  }

  /**
   * Whether a debugger or an agent watches this Java: it would not see the
   * program's code run in another process, nor could two bind its port.
   */
  private static boolean debugged(List<String> command) {
    List<String> words = new ArrayList<>(command);
    for (String variable : new String[] {"JAVA_TOOL_OPTIONS", "JDK_JAVA_OPTIONS", "_JAVA_OPTIONS"}) {
      String value = System.getenv(variable);
      if (value != null) words.addAll(java.util.Arrays.asList(value.split("\\s+")));
    }
    for (String word : words)
      if (word.startsWith("-agentlib:")
          || word.startsWith("-agentpath:")
          || word.startsWith("-javaagent:")
          || word.startsWith("-Xrunjdwp")
          || word.equals("-Xdebug")) return true;
    return false;
  }

  private static boolean isLibrary(String name) {
    return name.equals("java.lang.Thread")
        || name.equals("FrameConsole")
        || name.equals("Console")
        || name.equals("ConsolePrinter")
        || name.equals("ConsoleReader")
        || name.equals("CurseurCanvasConsole")
        || name.equals("CanvasConsole");
  }

  /** This Java's command line, word for word where the system tells it. */
  private static List<String> commandLine() {
    try {
      byte[] line = Files.readAllBytes(java.nio.file.Paths.get("/proc/self/cmdline"));
      String encoding = System.getProperty("sun.jnu.encoding");
      java.nio.charset.Charset charset =
          encoding != null
              ? java.nio.charset.Charset.forName(encoding)
              : java.nio.charset.Charset.defaultCharset();
      String text = new String(line, charset);
      List<String> words = new ArrayList<>(java.util.Arrays.asList(text.split("\0")));
      if (!words.isEmpty()) return words;
    } catch (IOException | RuntimeException e) {
      // Not Linux: ask Java.
    }
    try {
      // ProcessHandle, Java 9 and later.
      Class<?> handle = Class.forName("java.lang.ProcessHandle");
      Object info = handle.getMethod("info").invoke(handle.getMethod("current").invoke(null));
      java.util.Optional<?> args =
          (java.util.Optional<?>) info.getClass().getMethod("arguments").invoke(info);
      if (args.isPresent()) {
        List<String> words = new ArrayList<>();
        words.add("java");
        words.addAll(java.util.Arrays.asList((String[]) args.get()));
        return words;
      }
    } catch (ReflectiveOperationException | RuntimeException e) {
      // Java 8, or a system that does not tell: rebuild it.
    }
    try {
      return rebuiltCommand(
          System.getProperty("sun.java.command"),
          System.getProperty("java.class.path"),
          java.lang.management.ManagementFactory.getRuntimeMXBean().getInputArguments());
    } catch (RuntimeException | LinkageError e) {
      return null;
    }
  }

  /**
   * A Java command line rebuilt from the launcher's `started` ("JAR ARGS"
   * or "CLASS ARGS"), the class path and the JVM's options; its arguments
   * are taken to be split at spaces, but a jar's path may hold some
   * (C:\Users\Jean Dupont\prog.jar). Null when `started` is not known.
   */
  static List<String> rebuiltCommand(String started, String classPath, List<String> options) {
    if (started == null || started.isEmpty() || classPath == null) return null;
    List<String> words = new ArrayList<>();
    words.add("java");
    words.addAll(options);
    String rest;
    if (classPath.endsWith(".jar") && started.startsWith(classPath)) {
      words.add("-jar");
      words.add(classPath);
      rest = started.substring(classPath.length());
    } else {
      int space = started.indexOf(' ');
      words.add("-cp");
      words.add(classPath);
      words.add(space < 0 ? started : started.substring(0, space));
      rest = space < 0 ? "" : started.substring(space);
    }
    for (String word : rest.trim().split(" ")) if (!word.isEmpty()) words.add(word);
    return words;
  }

  /**
   * Runs `command`, the program, and shows what it writes until it ends;
   * then waits for the window to close, and exits with the program's
   * status. Returns only when the program cannot start.
   */
  private void host(List<String> command) throws UnsupportedEncodingException {
    try {
      // One pipe for both descriptors, as one terminal: what the program
      // writes straight to its standard error comes where it wrote it.
      program = new ProcessBuilder(command).redirectErrorStream(true).start();
    } catch (IOException | RuntimeException e) {
      System.err.println("Console: the program runs in the window's process (" + e + ")");
      return;
    }
    Process child = program;
    // What it writes also goes where this process's output goes, a terminal perhaps.
    printer = new ConsolePrinter(canvas, System.out, CanvasConsole.OUTPUT, this);
    ConsolePrinter errors = new ConsolePrinter(canvas, System.err, CanvasConsole.ERROR, this);
    ConsolePrinter[] both = {printer, errors};
    input.forwardTo(child.getOutputStream());
    Runtime.getRuntime().addShutdownHook(new Thread(() -> end(child), "Console end"));
    Thread output = relay(child.getInputStream(), printer, errors, both);
    // Named after the main class until the program names it.
    StackTraceElement[] stack = Thread.currentThread().getStackTrace();
    title(stack[stack.length - 1].getClassName());
    int ended = waitFor(child);
    // What is still in the pipe shows first, unless a process of the
    // program's own keeps it open.
    joinFor(output, 2000);
    EventQueue.invokeLater(() -> finished(ended));
    for (; ; ) {
      try {
        Thread.sleep(Long.MAX_VALUE);
      } catch (InterruptedException e) {
        // Closing the window ends this process.
      }
    }
  }

  private Thread relay(
      java.io.InputStream from, ConsolePrinter out, ConsolePrinter errors, ConsolePrinter[] all) {
    return daemon(
        "Console relay",
        () -> {
          try {
            ConsolePrinter.relay(from, out, errors, what -> told(what, all));
          } catch (IOException e) {
            // The program's process has gone.
          } catch (OutOfMemoryError e) {
            // The window's own memory: the end line says so, and the
            // program goes on unheard rather than blocked.
            outOfMemory = true;
            drain(from);
          }
        });
  }

  private static void drain(java.io.InputStream from) {
    byte[] chunk = new byte[8192];
    try {
      while (from.read(chunk) >= 0) {
        // Nothing can show it.
      }
    } catch (IOException e) {
      // The program's process has gone.
    }
  }

  /** What the program's process tells: see ConsolePrinter.tell. */
  private void told(String what, ConsolePrinter[] printers) {
    String rest = what.substring(1);
    switch (what.isEmpty() ? ' ' : what.charAt(0)) {
      case 't':
        title(rest);
        break;
      case 'h':
        input.hiding(rest.equals("1"));
        break;
      case 'm':
        outOfMemory = true;
        failed = true;
        break;
      case 'x':
        failed = true;
        break;
      case 'c':
        try {
          java.nio.charset.Charset charset = java.nio.charset.Charset.forName(rest);
          for (ConsolePrinter printer : printers) printer.decodeWith(charset);
        } catch (RuntimeException e) {
          // A charset this Java does not have: the default one stays.
        }
        break;
      default:
        break;
    }
  }

  /**
   * Asks the program's process to end, as a terminal's Ctrl+C does: its
   * shutdown hooks run, and what they print still shows.
   */
  private static void stop(Process child) {
    try {
      // Process.destroy would also close the pipes; its ProcessHandle's does not (Java 9).
      Object handle = Process.class.getMethod("toHandle").invoke(child);
      Class.forName("java.lang.ProcessHandle").getMethod("destroy").invoke(handle);
    } catch (ReflectiveOperationException | RuntimeException e) {
      child.destroy();
    }
  }

  /** Ends the program's process: its shutdown hooks run, but not for ever. */
  private static void end(Process child) {
    if (!child.isAlive()) return;
    stop(child);
    try {
      if (!child.waitFor(CLOSE_GRACE * 4 / 5, java.util.concurrent.TimeUnit.MILLISECONDS))
        child.destroyForcibly();
    } catch (InterruptedException e) {
      child.destroyForcibly();
    }
  }

  private static int waitFor(Process child) {
    for (; ; ) {
      try {
        return child.waitFor();
      } catch (InterruptedException e) {
        // Only its end counts.
      }
    }
  }

  private static void joinFor(Thread thread, long millis) {
    try {
      thread.join(millis);
    } catch (InterruptedException e) {
      // Then it shows later.
    }
  }

  /**
   * Ctrl+C with nothing selected: the program stops, as a terminal
   * interrupts it.
   */
  public void interrupt() {
    if (status != null) return;
    interrupted = true;
    if (program != null) stop(program);
    else exit(INTERRUPTED);
  }

  // ---------------------------------------------------------------------
  // The program's life, in this process.

  static Thread mainThread() {
    Thread current = Thread.currentThread();
    if (current.getName().equals("main")) return current;
    for (Thread thread : liveThreads())
      if (thread.getName().equals("main")
          && thread.getThreadGroup() != null
          && thread.getThreadGroup().getName().equals("main")) return thread;
    return null;
  }

  /** Waits for the program's end, then says how it ended. */
  private void watch() {
    awaitProgramEnd(main, this);
    EventQueue.invokeLater(() -> finished(failed ? 1 : 0));
  }

  /**
   * Waits for `main`, then for every other thread of the program's own, and
   * for the program's own windows to close (but `mine` and those it owns): a
   * program with a window of its own runs until that is closed, though its
   * main has returned.
   */
  static void awaitProgramEnd(Thread main, java.awt.Window mine) {
    if (main != null) join(main);
    for (; ; ) {
      for (List<Thread> left = programThreads(); !left.isEmpty(); left = programThreads())
        for (Thread thread : left) join(thread);
      if (!programWindowShowing(mine)) return;
      try {
        Thread.sleep(100);
      } catch (InterruptedException e) {
        // Only the program's end counts.
      }
    }
  }

  /** Whether a window of the program's, not `mine` nor one it owns, shows. */
  private static boolean programWindowShowing(java.awt.Window mine) {
    // No event thread, no window: the toolkit is left alone where unused.
    if (!toolkitRuns()) return false;
    for (java.awt.Window window : java.awt.Window.getWindows()) {
      if (!window.isShowing()) continue;
      java.awt.Window owner = window;
      while (owner != null && owner != mine) owner = owner.getOwner();
      if (owner == null) return true;
    }
    return false;
  }

  private static boolean toolkitRuns() {
    for (Thread thread : liveThreads())
      if (thread.getName().startsWith("AWT-EventQueue")) return true;
    return false;
  }

  /**
   * In the program's process, when the window is another's: ends the
   * process once the program has ended, with 1 if main failed, as Java
   * would, where a window of the program's own, hidden, would keep it
   * alive. Without windows, Java ends it by itself.
   */
  static void endWithTheProgram(java.util.function.BooleanSupplier mainFailed) {
    Thread main = mainThread();
    daemon(
        "Console watcher",
        () -> {
          awaitProgramEnd(main, null);
          if (toolkitRuns()) System.exit(mainFailed.getAsBoolean() ? 1 : 0);
        });
  }

  private static void join(Thread thread) {
    for (; ; ) {
      try {
        thread.join();
        return;
      } catch (InterruptedException e) {
        // Only the thread's end counts.
      }
    }
  }

  /** The live threads that keep the program running, but for Java's own and the toolkit's. */
  private static List<Thread> programThreads() {
    List<Thread> program = new ArrayList<>();
    for (Thread thread : liveThreads()) {
      String name = thread.getName();
      if (thread.isDaemon()
          || !thread.isAlive()
          || thread == Thread.currentThread()
          || name.startsWith("AWT-")
          || name.equals("DestroyJavaVM")
          || name.startsWith("Java2D")
          || name.equals("TimerQueue")) continue;
      program.add(thread);
    }
    return program;
  }

  /** Every live thread, without the cost of their stacks. */
  private static List<Thread> liveThreads() {
    ThreadGroup root = Thread.currentThread().getThreadGroup();
    while (root.getParent() != null) root = root.getParent();
    Thread[] all = new Thread[root.activeCount() + 16];
    int n = root.enumerate(all, true);
    return java.util.Arrays.asList(all).subList(0, n);
  }

  /** The program has ended with `exitStatus`: no more typing, and a last line says how. */
  private void finished(int exitStatus) {
    status = interrupted ? INTERRUPTED : exitStatus;
    input.stopInput();
    canvas.flushTails(true);
    String how =
        interrupted
            ? "interrupted"
            : outOfMemory
                ? "out of memory"
                : failed ? "failed" : exitStatus != 0 ? "exit status " + exitStatus : "finished";
    String line = how.equals("finished") || how.startsWith("exit") ? how : how + ", exit status " + status;
    canvas.lock.lock();
    try {
      canvas.startLine();
      char[] text = ("[" + line + "]").toCharArray();
      canvas.put(text, 0, text.length, CanvasConsole.PLAIN | CanvasConsole.NOTICE);
    } finally {
      canvas.lock.unlock();
    }
    canvas.sync();
    setTitle(title + " (" + how + ")");
    reveal();
  }

  private void uncaught(Thread thread, Throwable e) {
    if (thread == main) failed = true;
    report(thread, e);
  }

  /** An uncaught exception as Java prints it, onto System.err, which shows in the window. */
  static void report(Thread thread, Throwable e) {
    System.err.print("Exception in thread \"" + thread.getName() + "\" ");
    e.printStackTrace(System.err);
  }

  /** The main class failed before main could run (its static part threw). */
  void failedBeforeMain() {
    failed = true;
  }

  /**
   * Ends the program with `status`: its shutdown hooks run, but not for
   * ever, and nothing they print can hold them up.
   */
  private void exit(int status) {
    if (exiting) return;
    exiting = true;
    daemon(
        "Console close",
        () -> {
          try {
            Thread.sleep(CLOSE_GRACE);
          } catch (InterruptedException e) {
            // Ends now.
          }
          Runtime.getRuntime().halt(status);
        });
    daemon("Console exit", () -> System.exit(status));
  }

  @Override
  public void windowClosing(WindowEvent e) {
    // The program's own status once it has ended; while it runs, as ever.
    Integer ended = status;
    exit(ended != null ? ended : failed ? 1 : 0);
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

  // ---------------------------------------------------------------------
  // Keys, menu and find bar.

  /** A key on the canvas: the window's, else the line editor's. */
  private void key(KeyEvent e) {
    if (e.getID() == KeyEvent.KEY_PRESSED && reviewKey(e)) {
      e.consume();
      return;
    }
    if (e.getID() == KeyEvent.KEY_PRESSED && !isModifier(e.getKeyCode())) canvas.endReview();
    if (e.getID() == KeyEvent.KEY_PRESSED && command(e)) {
      e.consume();
      return;
    }
    input.key(e);
  }

  /** Alt+Up and Alt+Down go through the output line by line, for a screen reader. */
  private boolean reviewKey(KeyEvent e) {
    if (!e.isAltDown() || e.isControlDown()) return false;
    int code = e.getKeyCode();
    if (code != KeyEvent.VK_UP && code != KeyEvent.VK_DOWN) return false;
    canvas.review(code == KeyEvent.VK_UP ? -1 : 1);
    return true;
  }

  private static boolean isModifier(int code) {
    return code == KeyEvent.VK_SHIFT
        || code == KeyEvent.VK_CONTROL
        || code == KeyEvent.VK_ALT
        || code == KeyEvent.VK_ALT_GRAPH
        || code == KeyEvent.VK_META;
  }

  private boolean command(KeyEvent e) {
    boolean control = e.isControlDown() || e.isMetaDown();
    boolean shift = e.isShiftDown();
    switch (e.getKeyCode()) {
      case KeyEvent.VK_C:
        if (!control) return false;
        // As in a terminal: Ctrl+C copies what is selected, else interrupts.
        if (shift || canvas.selectedText() != null || input.selectedText() != null) copy();
        else interrupt();
        return true;
      case KeyEvent.VK_INSERT:
        if (control) copy();
        else if (shift) input.paste();
        else return false;
        return true;
      case KeyEvent.VK_V:
        if (!control) return false;
        input.paste();
        return true;
      case KeyEvent.VK_A:
        if (!control) return false;
        canvas.selectAll();
        return true;
      case KeyEvent.VK_F:
        if (!control) return false;
        showFind();
        return true;
      case KeyEvent.VK_F3:
        find(!shift);
        return true;
      case KeyEvent.VK_L:
        if (!control) return false;
        clear();
        return true;
      case KeyEvent.VK_S:
        if (!control) return false;
        save();
        return true;
      case KeyEvent.VK_PLUS:
      case KeyEvent.VK_EQUALS:
      case KeyEvent.VK_ADD:
        if (!control) return false;
        canvas.zoom(1);
        return true;
      case KeyEvent.VK_MINUS:
      case KeyEvent.VK_SUBTRACT:
        if (!control) return false;
        canvas.zoom(-1);
        return true;
      case KeyEvent.VK_0:
      case KeyEvent.VK_NUMPAD0:
        if (!control) return false;
        canvas.zoom(0);
        return true;
      case KeyEvent.VK_PAGE_UP:
        canvas.scrollPages(-1);
        return true;
      case KeyEvent.VK_PAGE_DOWN:
        canvas.scrollPages(1);
        return true;
      case KeyEvent.VK_HOME:
        if (!control) return false;
        canvas.scrollToTop();
        return true;
      case KeyEvent.VK_END:
        if (!control) return false;
        canvas.scrollToBottom();
        return true;
      case KeyEvent.VK_UP:
      case KeyEvent.VK_DOWN:
        if (!shift && !control) return false;
        canvas.scrollRows(e.getKeyCode() == KeyEvent.VK_UP ? -1 : 1);
        return true;
      default:
        return false;
    }
  }

  private void buildMenu() {
    item("Copy", KeyEvent.VK_C, InputEvent.CTRL_DOWN_MASK | InputEvent.SHIFT_DOWN_MASK, e -> copy());
    item("Paste", KeyEvent.VK_V, InputEvent.CTRL_DOWN_MASK, e -> input.paste());
    item("End of input", KeyEvent.VK_D, InputEvent.CTRL_DOWN_MASK, e -> input.endInput());
    item("Interrupt", KeyEvent.VK_C, InputEvent.CTRL_DOWN_MASK, e -> interrupt());
    item("Select all", KeyEvent.VK_A, InputEvent.CTRL_DOWN_MASK, e -> canvas.selectAll());
    menu.addSeparator();
    item("Find...", KeyEvent.VK_F, InputEvent.CTRL_DOWN_MASK, e -> showFind());
    item("Find next", KeyEvent.VK_F3, 0, e -> find(true));
    item("Find previous", KeyEvent.VK_F3, InputEvent.SHIFT_DOWN_MASK, e -> find(false));
    menu.addSeparator();
    item("Read the line above", KeyEvent.VK_UP, InputEvent.ALT_DOWN_MASK, e -> canvas.review(-1));
    item("Read the line below", KeyEvent.VK_DOWN, InputEvent.ALT_DOWN_MASK, e -> canvas.review(1));
    menu.addSeparator();
    item("Clear", KeyEvent.VK_L, InputEvent.CTRL_DOWN_MASK, e -> clear());
    item("Save transcript...", KeyEvent.VK_S, InputEvent.CTRL_DOWN_MASK, e -> save());
    menu.addSeparator();
    item("Zoom in", KeyEvent.VK_PLUS, InputEvent.CTRL_DOWN_MASK, e -> canvas.zoom(1));
    item("Zoom out", KeyEvent.VK_MINUS, InputEvent.CTRL_DOWN_MASK, e -> canvas.zoom(-1));
    item("Normal size", KeyEvent.VK_0, InputEvent.CTRL_DOWN_MASK, e -> canvas.zoom(0));
    canvas.setComponentPopupMenu(menu);
  }

  private void item(String name, int key, int modifiers, ActionListener action) {
    JMenuItem item = new JMenuItem(name);
    // Shown only: the keys come through key() whether the menu is open or not.
    item.setAccelerator(KeyStroke.getKeyStroke(key, modifiers));
    item.addActionListener(action);
    menu.add(item);
  }

  /** The menu, for tests. */
  public JPopupMenu menu() {
    return menu;
  }

  private void buildFindBar() {
    JButton previous = new JButton("Previous");
    JButton next = new JButton("Next");
    JButton close = new JButton("Close");
    previous.addActionListener(e -> find(false));
    next.addActionListener(e -> find(true));
    close.addActionListener(e -> hideFind());
    // Typing finds the newest match; Enter goes on up, the way it searched,
    // Shift+Enter back down.
    findField.addActionListener(e -> find((e.getModifiers() & ActionEvent.SHIFT_MASK) != 0));
    findField.getDocument().addUndoableEditListener(e -> EventQueue.invokeLater(this::findAgain));
    findField.registerKeyboardAction(
        e -> hideFind(), KeyStroke.getKeyStroke(KeyEvent.VK_ESCAPE, 0), JComponent.WHEN_FOCUSED);
    findField.registerKeyboardAction(
        e -> find(true), KeyStroke.getKeyStroke(KeyEvent.VK_F3, 0), JComponent.WHEN_FOCUSED);
    findField.registerKeyboardAction(
        e -> find(false),
        KeyStroke.getKeyStroke(KeyEvent.VK_F3, InputEvent.SHIFT_DOWN_MASK),
        JComponent.WHEN_FOCUSED);
    findBar.add(new JLabel("Find:"));
    findBar.add(findField);
    findBar.add(previous);
    findBar.add(next);
    findBar.add(close);
    findBar.add(findStatus);
    findBar.setVisible(false);
    getContentPane().add(findBar, BorderLayout.SOUTH);
  }

  /** Opens the find bar, its field ready for what to find. */
  public void showFind() {
    findBar.setVisible(true);
    getContentPane().revalidate();
    findField.selectAll();
    findField.requestFocusInWindow();
  }

  private void hideFind() {
    canvas.find("", false);  // the match is no longer marked
    findBar.setVisible(false);
    getContentPane().revalidate();
    canvas.requestFocusInWindow();
  }

  /** What the field holds, from the end upwards as it is typed. */
  private void findAgain() {
    canvas.find("", false);
    find(false);
  }

  /** The next (or previous) place the find field's text is; the view goes there. */
  public void find(boolean forward) {
    String wanted = findField.getText();
    if (wanted.isEmpty()) {
      findStatus.setText(" ");
      return;
    }
    findStatus.setText(canvas.find(wanted, forward) ? " " : "Not found");
  }

  /** The find bar's field, for tests. */
  public JTextField findField() {
    return findField;
  }

  /** Copies the selection, on the canvas or in the line being typed. */
  public void copy() {
    String text = canvas.selectedText();
    if (text == null)
      text = input.selectedText();
    if (text == null) return;
    StringSelection selection = new StringSelection(text);
    Toolkit.getDefaultToolkit().getSystemClipboard().setContents(selection, selection);
  }

  /** Empties the window but for the line being written. */
  public void clear() {
    canvas.lock.lock();
    try {
      canvas.clearAll();
    } finally {
      canvas.lock.unlock();
    }
    canvas.clearSelection();
    canvas.sync();
  }

  /** Asks where, then saves the transcript there. */
  public void save() {
    JFileChooser chooser = new JFileChooser();
    chooser.setDialogTitle("Save the transcript");
    String name = title.replaceAll("[\\\\/:*?\"<>|\\p{Cntrl}]", "_").trim();
    chooser.setSelectedFile(new File(name.isEmpty() ? "console.txt" : name + ".txt"));
    if (chooser.showSaveDialog(this) != JFileChooser.APPROVE_OPTION) return;
    File file = chooser.getSelectedFile();
    if (file.exists()
        && JOptionPane.showConfirmDialog(
                this,
                file + " exists. Replace it?",
                "Save the transcript",
                JOptionPane.YES_NO_OPTION)
            != JOptionPane.YES_OPTION) return;
    try {
      saveTranscript(file.toPath());
    } catch (IOException e) {
      JOptionPane.showMessageDialog(
          this, "The transcript was not saved: " + e, "Save the transcript", JOptionPane.ERROR_MESSAGE);
    }
  }

  /**
   * Writes what the scroll-back holds, typed lines included, in UTF-8: into
   * a file beside `file`, then renamed over it, so that a failure leaves
   * what was there.
   */
  public void saveTranscript(Path file) throws IOException {
    Path folder = file.toAbsolutePath().getParent();
    Path temporary = Files.createTempFile(folder, ".console", ".txt");
    try {
      Files.write(temporary, canvas.transcript().getBytes(StandardCharsets.UTF_8));
      Files.move(temporary, file, StandardCopyOption.REPLACE_EXISTING);
    } finally {
      Files.deleteIfExists(temporary);
    }
  }
}
