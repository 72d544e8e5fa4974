import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.Test;

/**
 * Console programs in processes of their own, on a real display with a window
 * manager: the window's life (open after main, closed by the user or by
 * System.exit) and the standard streams when there is no window. Windows are
 * found and closed with xdotool, as a user's window manager would close them.
 */
class ConsoleProcessTest {
  private final List<Process> started = new ArrayList<>();
  private Path stdout;
  private Path stderr;

  /** Prints, then returns from main. */
  static class Finishes {
    public static void main(String[] args) {
      Console.setTitle("Fin");
      Console.out.println("fini");
    }
  }

  /** Waits for a line that never comes. */
  static class Waits {
    public static void main(String[] args) {
      Console.setTitle("Attente");
      Console.in.readLine();
      System.out.println("after the read");
    }
  }

  /**
   * Prints through every stream there is, then reports an error and leaves
   * with System.exit(2), as students' programs do.
   */
  static class Exits {
    public static void main(String[] args) throws Exception {
      Console.setTitle("Sortie");
      System.out.print("Resultat : ");
      System.err.println("attention");
      Console.out.println(42);
      java.io.FileOutputStream out = new java.io.FileOutputStream(java.io.FileDescriptor.out);
      System.setOut(new java.io.PrintStream(out, true, "UTF-8"));
      System.out.println("élève");
      // A file of the program's own gets what goes there, and nothing else.
      System.setOut(new java.io.PrintStream(new java.io.FileOutputStream(args[0]), true, "UTF-8"));
      System.out.println("dans le fichier");
      Console.setTitle("Sortie");
      Console.out.println("toujours là");
      new java.io.PrintStream(new java.io.FileOutputStream(java.io.FileDescriptor.err), true).println("brut");
      System.err.println("Erreur : le fichier notes.txt est introuvable");
      System.exit(2);
    }
  }

  /** Stops when a line is typed; then reads on past two ends of input. */
  static class Keys {
    public static void main(String[] args) throws Exception {
      Console.setTitle("Touches");
      System.out.println("Entree pour arreter");
      while (System.in.available() == 0) Thread.sleep(20);
      System.out.println("arret : " + Console.in.readLine());
      System.out.println("fin 1 : " + Console.in.readLine());
      java.io.BufferedReader in = new java.io.BufferedReader(new java.io.InputStreamReader(System.in));
      System.out.println("fin 2 : " + in.readLine());
      System.out.println("lu : " + in.readLine());
      System.out.println("longueur " + Console.console().readPassword("Secret : ").length);
    }
  }

  /** Runs until it is interrupted; its shutdown hook says goodbye. */
  static class Loops {
    public static void main(String[] args) throws Exception {
      Runtime.getRuntime().addShutdownHook(new Thread(() -> System.out.println("au revoir")));
      Console.setTitle("Boucle");
      System.out.println("je tourne");
      for (; ; ) Thread.sleep(50);
    }
  }

  /** Asks for memory until there is none. */
  static class Hungry {
    public static void main(String[] args) {
      Console.setTitle("Gourmand");
      System.out.println("j'ai faim");
      List<long[]> eaten = new ArrayList<>();
      for (; ; ) eaten.add(new long[1 << 16]);
    }
  }

  /** A flood of long coloured lines, more than the scroll-back keeps. */
  static class Floods {
    public static void main(String[] args) {
      Console.setTitle("Crue");
      StringBuilder words = new StringBuilder();
      for (int i = 0; i < 50; ++i) words.append(" \033[1mdu\033[0m flot");
      for (int i = 0; i < 30000; ++i) System.out.println("\033[3" + (i % 8) + "mligne " + i + words);
      System.out.println("fin");
    }
  }

  /** Fails in main. */
  static class Fails {
    public static void main(String[] args) {
      Console.setTitle("Echec");
      throw new IllegalStateException("boum");
    }
  }

  /** Echoes its input with a prompt, from Console.in and System.in in turn. */
  static class Echo {
    public static void main(String[] args) throws Exception {
      Console.setTitle("Echo");
      java.io.BufferedReader in =
          new java.io.BufferedReader(new java.io.InputStreamReader(System.in, "UTF-8"));
      for (int i = 0; ; ++i) {
        String line = i % 2 == 0 ? Console.in.readLine() : in.readLine();
        if (line == null) break;
        Console.out.println("> " + line);
      }
    }
  }

  /** Writes and reads through the JVM's default charset, as most programs do. */
  static class Charsets {
    public static void main(String[] args) throws Exception {
      Console.setTitle("Charsets");
      java.io.PrintWriter out = new java.io.PrintWriter(System.out, true);
      out.println("élève à 20 €");
      out.print("Mot ? ");
      out.flush();
      out.println("lu : " + new java.util.Scanner(System.in).nextLine());
    }
  }

  /** A window of its own, whose button prints, open after main returns. */
  static class OwnWindow {
    public static void main(String[] args) throws Exception {
      Console.setTitle("Fenetre");
      Console.out.println("avant");
      javax.swing.SwingUtilities.invokeAndWait(
          () -> {
            javax.swing.JFrame frame = new javax.swing.JFrame("Bouton");
            javax.swing.JButton button = new javax.swing.JButton("Clic");
            button.addActionListener(e -> System.out.println("clic"));
            frame.add(button);
            frame.setSize(200, 100);
            frame.setVisible(true);
          });
    }
  }

  /** Its static part fails, before main. */
  static class FailsEarly {
    static {
      Console.setTitle("Tot");
    }

    static final int NUMBER = Integer.parseInt("pas un nombre");

    public static void main(String[] args) {
      System.out.println("never " + NUMBER);
    }
  }

  /** Leaves a thread reading after main has returned. */
  static class Worker {
    public static void main(String[] args) {
      Console.setTitle("Travail");
      new Thread(() -> Console.out.println("lu : " + Console.in.readLine())).start();
      Console.out.println("main a fini");
    }
  }

  /** Starts the library on the event thread. */
  static class FromTheEventThread {
    public static void main(String[] args) throws Exception {
      javax.swing.SwingUtilities.invokeAndWait(
          () -> {
            Console.setTitle("Evenements");
            Console.out.println("depuis le fil des evenements");
          });
    }
  }

  /** A shutdown hook that prints for ever. */
  static class Hooked {
    public static void main(String[] args) throws Exception {
      Runtime.getRuntime()
          .addShutdownHook(
              new Thread(
                  () -> {
                    for (long i = 0; ; ++i) System.out.println("crochet " + i);
                  }));
      Console.setTitle("Crochet");
      Console.out.println("pret");
      Thread.sleep(60000);
    }
  }

  /** Prints two lines, then asks for a name, for a screen reader to read. */
  static class Reads {
    public static void main(String[] args) {
      Console.setTitle("Lecture");
      Console.out.println("bonjour lecteur");
      Console.out.println("deuxième ligne 中文 😀");
      Console.out.print("Nom ? ");
      Console.out.println("merci " + Console.in.readLine());
    }
  }

  @AfterEach
  void stopWhatIsLeft() {
    for (Process process : started) process.destroyForcibly();
  }

  @Test
  void theWindowStaysOpenAfterMainAndSaysSo() throws Exception {
    Process program = start(Finishes.class, new String[0], new String[0]);
    String window = windowNamed("Fin (finished)");
    assertTrue(program.isAlive(), "main has returned, the window is still there");
    // Saved as a user saves it, through the menu's keys and the dialog.
    assertEquals("fini\n[finished]\n", transcript(window));
    close(window);
    assertEquals(0, exitStatus(program));
  }

  // A main class whose static part throws has failed: its report, the
  // launcher's first line included, shows, and the status is 1.
  @Test
  void aFailureBeforeMainIsAFailure() throws Exception {
    Process program = start(FailsEarly.class, new String[0], new String[0]);
    String window = windowNamed("Tot (failed)");
    String text = transcript(window);
    assertTrue(
        text.startsWith(
            "Exception in thread \"main\" java.lang.ExceptionInInitializerError\n"
                + "Caused by: java.lang.NumberFormatException"),
        text);
    assertTrue(text.endsWith("\n[failed, exit status 1]\n"), text);
    close(window);
    assertEquals(1, exitStatus(program));
  }

  // Input stays open while a thread of the program can still read.
  @Test
  void aThreadReadingAfterMainReturnedGetsItsLine() throws Exception {
    Process program = start(Worker.class, new String[0], new String[0]);
    String window = windowNamed("Travail");
    waitFor("main's end", () -> read(stdout).contains("main a fini\n"));
    Thread.sleep(500);
    assertEquals(window, windowNamed("Travail"), "not finished while the thread reads");
    xdotool("windowactivate", "--sync", window);
    xdotool("type", "--delay", "20", "tard");
    xdotool("key", "Return");
    windowNamed("Travail (finished)");
    assertTrue(read(stdout).contains("lu : tard\n"), read(stdout));
    close(window);
    assertEquals(0, exitStatus(program));
  }

  @Test
  void theLibraryMayStartOnTheEventThread() throws Exception {
    Process program = start(FromTheEventThread.class, new String[0], new String[0]);
    String window = windowNamed("Evenements (finished)");
    assertEquals("depuis le fil des evenements\n", read(stdout));
    close(window);
    assertEquals(0, exitStatus(program));
  }

  // Closing ends the program, even while a shutdown hook prints for ever.
  @Test
  void closingEndsTheProgramWhateverItsShutdownHooksDo() throws Exception {
    Process program = start(Hooked.class, new String[0], new String[0]);
    close(windowNamed("Crochet"));
    assertEquals(0, exitStatus(program));
    assertTrue(read(stdout).contains("crochet 1\n"), "the hook ran");
  }

  // A French keyboard's dead keys compose, as in any text field, and the
  // lines typed reach Console.in and System.in alike.
  @Test
  void aFrenchKeyboardTypesWhatItsDeadKeysCompose() throws Exception {
    assumeTrue(xkb("fr"), "setxkbmap is not installed");
    try {
      Process program = start(Echo.class, new String[0], new String[0]);
      String window = windowNamed("Echo");
      xdotool("windowactivate", "--sync", window);
      xdotool("key", "dead_circumflex", "e", "dead_diaeresis", "i", "Return");
      xdotool("key", "dead_circumflex", "a", "Return");
      waitFor("the lines", () -> read(stdout).equals("> êï\n> â\n"));
      close(window);
      assertEquals(0, exitStatus(program));
    } finally {
      xkb("us");
    }
  }

  // At twice the scale, the first window still fits the 1280 x 1024 screen.
  @Test
  void theFirstWindowFitsTheScreenAtAnyScale() throws Exception {
    Process program =
        start(Finishes.class, new String[] {"-Dsun.java2d.uiScale=2"}, new String[0]);
    String window = windowNamed("Fin (finished)");
    String info = run("xwininfo", "-id", window);
    int width = number(info, "Width"), height = number(info, "Height");
    assertTrue(width <= 1280 && height <= 1024, width + " x " + height);
    assertTrue(width >= 640, "still a console's width: " + width);
    close(window);
    assertEquals(0, exitStatus(program));
  }

  @Test
  void closingTheWindowWhileItWaitsForALineEndsTheProgram() throws Exception {
    Process program = start(Waits.class, new String[0], new String[0]);
    close(windowNamed("Attente"));
    assertEquals(0, exitStatus(program));
    assertFalse(read(stdout).contains("after the read"));
  }

  // The last words stay, in the order written, whatever stream wrote them,
  // and the status is the program's once the window is closed.
  @Test
  void systemExitLeavesTheLastWordsAndTheStatus() throws Exception {
    Path own = Files.createTempFile("own", ".txt");
    own.toFile().deleteOnExit();
    Process program = start(Exits.class, new String[0], new String[] {own.toString()});
    String window = windowNamed("Sortie (exit status 2)");
    assertEquals(
        "Resultat : attention\n42\nélève\ntoujours là\nbrut\n"
            + "Erreur : le fichier notes.txt est introuvable\n[exit status 2]\n",
        transcript(window));
    assertEquals("dans le fichier\n", read(own));
    assertTrue(program.isAlive(), "the window waits to be closed");
    close(window);
    assertEquals(2, exitStatus(program));
  }

  // available() sees a line typed; Ctrl+D, then Ctrl+Z and Enter as on
  // Windows, end one read each, and the next read waits for a new line; a
  // password typed never shows.
  @Test
  void theInputKeysOfATerminal() throws Exception {
    Process program = start(Keys.class, new String[0], new String[0]);
    String window = windowNamed("Touches");
    xdotool("windowactivate", "--sync", window);
    Thread.sleep(300);
    assertTrue(program.isAlive());
    xdotool("type", "--delay", "20", "stop");
    xdotool("key", "Return");
    waitFor("the stop", () -> read(stdout).contains("arret : stop\n"));
    xdotool("key", "ctrl+d");
    waitFor("the first end", () -> read(stdout).contains("fin 1 : null\n"));
    xdotool("key", "ctrl+z", "Return");
    waitFor("the second end", () -> read(stdout).contains("fin 2 : null\n"));
    xdotool("type", "--delay", "20", "encore");
    xdotool("key", "Return");
    waitFor("the prompt", () -> read(stdout).endsWith("Secret : "));
    xdotool("type", "--delay", "20", "cache");
    xdotool("key", "Return");
    String done = windowNamed("Touches (finished)");
    assertTrue(read(stdout).endsWith("fin 2 : null\nlu : encore\nSecret : longueur 5\n"), read(stdout));
    String text = transcript(done);
    assertTrue(text.endsWith("lu : encore\nSecret : \nlongueur 5\n[finished]\n"), text);
    close(done);
    assertEquals(0, exitStatus(program));
  }

  // Ctrl+C copies what is selected; with nothing selected it interrupts the
  // program, whose shutdown hooks still print.
  @Test
  void ctrlCInterruptsUnlessSomethingIsSelected() throws Exception {
    Process program = start(Loops.class, new String[0], new String[0]);
    String window = windowNamed("Boucle");
    waitFor("the first line", () -> read(stdout).contains("je tourne\n"));
    xdotool("windowactivate", "--sync", window);
    xdotool("key", "ctrl+a", "ctrl+c");
    Thread.sleep(1000);
    assertTrue(program.isAlive(), "a copy interrupts nothing");
    xdotool("mousemove", "--window", window, "100", "100", "click", "1");
    xdotool("key", "ctrl+c");
    String done = windowNamed("Boucle (interrupted)");
    assertEquals("je tourne\nau revoir\n[interrupted, exit status 130]\n", transcript(done));
    close(done);
    assertEquals(130, exitStatus(program));
  }

  @Test
  void memoryRunOutIsSaid() throws Exception {
    Process program = start(Hungry.class, new String[] {"-Xmx16m"}, new String[0]);
    String done = windowNamed("Gourmand (out of memory)");
    String text = transcript(done);
    assertTrue(text.startsWith("j'ai faim\nException in thread \"main\" java.lang.OutOfMemoryError"), text);
    assertTrue(text.endsWith("\n[out of memory, exit status 1]\n"), text);
    close(done);
    assertEquals(1, exitStatus(program));
  }

  // Where the system does not tell the command line (Java 8 on Windows), it
  // is rebuilt for the program's process, a jar's path whole with its spaces.
  @Test
  void theProgramsCommandIsRebuiltWithItsJarWhole() {
    String jar = "C:\\Users\\Jean Dupont\\moyenne.jar";
    assertEquals(
        Arrays.asList("java", "-Xmx64m", "-jar", jar, "12", "15"),
        FrameConsole.rebuiltCommand(jar + " 12 15", jar, Arrays.asList("-Xmx64m")));
    assertEquals(
        Arrays.asList("java", "-cp", "classes;lib", "tp1.Moyenne", "a"),
        FrameConsole.rebuiltCommand("tp1.Moyenne a", "classes;lib", new ArrayList<>()));
    assertEquals(null, FrameConsole.rebuiltCommand(null, "classes", new ArrayList<>()));
  }

  // The window's process and the program's keep within a small heap, and
  // the window keeps the end of the flood.
  @Test
  void aFloodFitsInASmallHeap() throws Exception {
    Process program = start(Floods.class, new String[] {"-Xmx16m"}, new String[0]);
    String done = windowNamed("Crue (finished)");
    assertTrue(transcript(done).endsWith(" du flot du flot\nfin\n[finished]\n"));
    close(done);
    assertEquals(0, exitStatus(program));
  }

  @Test
  void anUncaughtExceptionIsShownAndFailsTheRun() throws Exception {
    Process program = start(Fails.class, new String[0], new String[0]);
    String window = windowNamed("Echec (failed)");
    // The trace also reaches the terminal, when there is one.
    assertTrue(read(stderr).contains("java.lang.IllegalStateException: boum"), read(stderr));
    close(window);
    assertEquals(1, exitStatus(program));
  }

  @Test
  void withoutAUsableDisplayStandardStreamsAreUsed() throws Exception {
    // Console.in and System.in read standard input in turn.
    String[][] ways = {
      {"-Djava.awt.headless=true"}, {"-DDISPLAY-unset"}, {"-DDISPLAY=:9999"},
    };
    for (String[] way : ways) {
      Process program = start(Echo.class, way, new String[0]);
      program.getOutputStream().write("un\n".getBytes(StandardCharsets.UTF_8));
      program.getOutputStream().flush();
      waitFor("the first line", () -> read(stdout).equals("> un\n"));
      program.getOutputStream().write("deux é\n".getBytes(StandardCharsets.UTF_8));
      program.getOutputStream().close();
      assertEquals(0, exitStatus(program), Arrays.toString(way) + ": " + read(stderr));
      assertEquals("> un\n> deux é\n", read(stdout), Arrays.toString(way));
    }
  }

  // A screen reader, through Java's bridge to AT-SPI (Debian's
  // libatk-wrapper-java) on a bus of its own, reads what the program printed
  // and what is typed, caret included. Skipped where those are not installed.
  @Test
  void aScreenReaderReadsTheWindowThroughAtSpi() throws Exception {
    String wrapper = "/usr/share/java/java-atk-wrapper.jar";
    String client = System.getProperty("console.source") + File.separator + "read_window_text.py";
    assumeTrue(
        new File(wrapper).exists()
            && new File("/usr/bin/dbus-run-session").exists()
            && succeeds("/usr/bin/python3", "-c", "import pyatspi"),
        "no AT-SPI bridge, bus or client here");
    String java = System.getProperty("java.home") + File.separator + "bin" + File.separator + "java";
    String script =
        "\"$JAVA\" -Dfile.encoding=UTF-8 -cp \"$CP\" -Djava.library.path=\"$(dirname /usr/lib/*/jni/libatk-wrapper.so)\""
            + " -Djavax.accessibility.assistive_technologies=org.GNOME.Accessibility.AtkWrapper"
            + " ConsoleProcessTest\\$Reads > \"$OUT\" 2>&1 &\n"
            + "program=$!\n"
            + "/usr/bin/python3 \"$CLIENT\" Lecture 'bonjour lecteur' 'deuxième ligne' 'Nom ? ' || exit 1\n"
            + "window=$(xdotool search --sync --onlyvisible --name '^Lecture$' | head -n 1)\n"
            + "xdotool windowactivate --sync \"$window\" type --delay 20 Ada\n"
            + "/usr/bin/python3 \"$CLIENT\" Lecture 'Nom ? Ada' || exit 2\n"
            + "xdotool key Return\n"
            + "/usr/bin/python3 \"$CLIENT\" 'Lecture (finished)' 'merci Ada' || exit 3\n"
            + "kill $program\n";
    ProcessBuilder builder =
        new ProcessBuilder("timeout", "100", "dbus-run-session", "--", "sh", "-c", script);
    stdout = Files.createTempFile("console", ".out");
    stdout.toFile().deleteOnExit();
    builder.environment().put("JAVA", java);
    builder.environment().put("CP", System.getProperty("console.classpath") + File.pathSeparator + wrapper);
    builder.environment().put("CLIENT", client);
    builder.environment().put("OUT", stdout.toString());
    builder.redirectErrorStream(true);
    Process session = builder.start();
    started.add(session);
    String said = new String(readAll(session), StandardCharsets.UTF_8);
    assertTrue(session.waitFor(110, TimeUnit.SECONDS));
    assertEquals(0, session.exitValue(), said + "\nthe program said: " + read(stdout));
    assertTrue(said.contains("text: "), said);
  }

  /** Whether a command succeeds within 20 seconds. */
  private static boolean succeeds(String... args) throws Exception {
    List<String> command = new ArrayList<>(Arrays.asList("timeout", "20"));
    command.addAll(Arrays.asList(args));
    Process process = new ProcessBuilder(command).redirectErrorStream(true).start();
    readAll(process);
    return process.waitFor(30, TimeUnit.SECONDS) && process.exitValue() == 0;
  }

  // With another default charset than UTF-8 (Java 8 to 17 on Windows), what
  // a PrintWriter writes and a Scanner reads round-trips through the window.
  @Test
  void theJvmsCharsetIsTheWindowsToo() throws Exception {
    Process program =
        start(Charsets.class, new String[] {"-Dfile.encoding=windows-1252"}, new String[0]);
    String window = windowNamed("Charsets");
    xdotool("windowactivate", "--sync", window);
    // Pasted: xdotool types "é" by remapping a key for it, and a busy Java
    // may see the key after the mapping is gone.
    java.awt.datatransfer.StringSelection line = new java.awt.datatransfer.StringSelection("été €");
    java.awt.Toolkit.getDefaultToolkit().getSystemClipboard().setContents(line, line);
    xdotool("key", "--clearmodifiers", "ctrl+v");
    xdotool("key", "Return");
    String done = windowNamed("Charsets (finished)");
    String text = transcript(done);
    assertTrue(text.contains("élève à 20 €\nMot ? été €\nlu : été €\n"), text);
    close(done);
    assertEquals(0, exitStatus(program));
  }

  // The program runs while a window of its own shows: what its handlers
  // print comes before the end line, which comes once that window closes.
  @Test
  void aProgramWithAWindowOfItsOwnEndsWhenItCloses() throws Exception {
    Process program = start(OwnWindow.class, new String[0], new String[0]);
    windowNamed("Fenetre");
    String own = windowNamed("Bouton");
    xdotool("windowactivate", "--sync", own);
    xdotool("key", "space");
    Thread.sleep(1500);
    assertFalse(
        xdotool("search", "--onlyvisible", "--name", "^Fenetre \\(finished\\)$").contains("\n"),
        "finished while the program's window shows");
    close(own);
    String done = windowNamed("Fenetre (finished)");
    assertEquals("avant\nclic\n[finished]\n", transcript(done));
    close(done);
    assertEquals(0, exitStatus(program));
  }

  /**
   * Starts `program` in a Java of its own. Options of the form -DDISPLAY-unset
   * and -DDISPLAY=VALUE set its environment rather than a property.
   */
  private Process start(Class<?> program, String[] options, String[] args) throws IOException {
    List<String> command = new ArrayList<>();
    command.add(System.getProperty("java.home") + File.separator + "bin" + File.separator + "java");
    command.add("-Dfile.encoding=UTF-8");
    ProcessBuilder builder = new ProcessBuilder(command);
    for (String option : options) {
      if (option.equals("-DDISPLAY-unset")) builder.environment().remove("DISPLAY");
      else if (option.startsWith("-DDISPLAY=")) builder.environment().put("DISPLAY", option.substring(10));
      else command.add(option);
    }
    command.add("-cp");
    command.add(System.getProperty("console.classpath"));
    command.add(program.getName());
    command.addAll(Arrays.asList(args));
    stdout = Files.createTempFile("console", ".out");
    stderr = Files.createTempFile("console", ".err");
    stdout.toFile().deleteOnExit();
    stderr.toFile().deleteOnExit();
    builder.redirectOutput(stdout.toFile()).redirectError(stderr.toFile());
    Process process = builder.start();
    started.add(process);
    return process;
  }

  private static int exitStatus(Process program) throws Exception {
    assertTrue(program.waitFor(20, TimeUnit.SECONDS), "the program did not end within 20 s");
    return program.exitValue();
  }

  /** The shown window with exactly this title (Java also makes a hidden one), waited for. */
  private static String windowNamed(String title) throws Exception {
    String quoted = "^" + title.replace("(", "\\(").replace(")", "\\)") + "$";
    String found = xdotool("search", "--sync", "--onlyvisible", "--name", quoted).trim();
    assertFalse(found.isEmpty(), "no window titled " + title);
    return found.split("\n")[0];
  }

  /**
   * What the window holds, saved as its user saves it: Ctrl+S, then a file
   * name typed into the dialog.
   */
  private static String transcript(String window) throws Exception {
    Path file = Files.createTempFile("transcript", ".txt");
    Files.delete(file);
    try {
      xdotool("windowactivate", "--sync", window);
      xdotool("key", "--clearmodifiers", "ctrl+s");
      String dialog = windowNamed("Save the transcript");
      xdotool("windowactivate", "--sync", dialog);
      xdotool("key", "ctrl+a");
      xdotool("type", "--delay", "10", file.toString());
      xdotool("key", "Return");
      waitFor("the transcript", () -> Files.exists(file));
      return read(file);
    } finally {
      Files.deleteIfExists(file);
    }
  }

  /** Closes the window as its user would, through the window manager (Alt+F4). */
  private static void close(String window) throws Exception {
    xdotool("windowactivate", "--sync", window);
    xdotool("key", "--clearmodifiers", "alt+F4");
  }

  private static String xdotool(String... args) throws Exception {
    List<String> command = new ArrayList<>(Arrays.asList("xdotool"));
    command.addAll(Arrays.asList(args));
    return run(command.toArray(new String[0]));
  }

  /** Runs a command within 20 seconds; its output. */
  private static String run(String... args) throws Exception {
    List<String> command = new ArrayList<>(Arrays.asList("timeout", "20"));
    command.addAll(Arrays.asList(args));
    Process process = new ProcessBuilder(command).redirectErrorStream(true).start();
    byte[] output = readAll(process);
    assertTrue(process.waitFor(30, TimeUnit.SECONDS), args[0] + " hung");
    return new String(output, StandardCharsets.UTF_8);
  }

  /** The keyboard layout of the display; false without the XKB tools. */
  private static boolean xkb(String layout) throws Exception {
    try {
      Process process = new ProcessBuilder("timeout", "20", "setxkbmap", layout).start();
      assertTrue(process.waitFor(30, TimeUnit.SECONDS), "setxkbmap hung");
      return process.exitValue() == 0;
    } catch (IOException e) {
      return false;
    }
  }

  /** A number of xwininfo's: "  NAME: 123". */
  private static int number(String info, String name) {
    for (String line : info.split("\n")) {
      line = line.trim();
      if (line.startsWith(name + ":")) return Integer.parseInt(line.substring(name.length() + 1).trim());
    }
    throw new AssertionError("no " + name + " in " + info);
  }

  interface Condition {
    boolean holds() throws Exception;
  }

  private static void waitFor(String what, Condition condition) throws Exception {
    long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(20);
    while (!condition.holds()) {
      assertTrue(System.nanoTime() < deadline, "no " + what + " within 20 s");
      Thread.sleep(50);
    }
  }

  private static byte[] readAll(Process process) throws IOException {
    java.io.ByteArrayOutputStream bytes = new java.io.ByteArrayOutputStream();
    byte[] chunk = new byte[4096];
    for (int n; (n = process.getInputStream().read(chunk)) > 0; ) bytes.write(chunk, 0, n);
    return bytes.toByteArray();
  }

  private static String read(Path file) throws IOException {
    return new String(Files.readAllBytes(file), StandardCharsets.UTF_8);
  }
}
