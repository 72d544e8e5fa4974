import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

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

  /** Ends through System.exit once its window is up. */
  static class Exits {
    public static void main(String[] args) throws Exception {
      Console.setTitle("Sortie");
      Console.out.println("bye");
      Thread.sleep(Long.parseLong(args[0]));
      System.exit(3);
    }
  }

  /** Fails in main. */
  static class Fails {
    public static void main(String[] args) {
      Console.setTitle("Echec");
      throw new IllegalStateException("boum");
    }
  }

  /** Echoes its input with a prompt. */
  static class Echo {
    public static void main(String[] args) {
      Console.setTitle("Echo");
      for (String line; (line = Console.in.readLine()) != null; ) Console.out.println("> " + line);
    }
  }

  @AfterEach
  void stopWhatIsLeft() {
    for (Process process : started) process.destroyForcibly();
  }

  @Test
  void theWindowStaysOpenAfterMainAndClosingItEndsTheProgram() throws Exception {
    Process program = start(Finishes.class, new String[0], new String[0]);
    String window = windowNamed("Fin (finished)");
    assertTrue(program.isAlive(), "main has returned, the window is still there");
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

  @Test
  void systemExitClosesTheWindowWithItsStatus() throws Exception {
    Process program = start(Exits.class, new String[0], new String[] {"1000"});
    windowNamed("Sortie");
    assertEquals(3, exitStatus(program));
    assertEquals("", xdotool("search", "--onlyvisible", "--name", "^Sortie$").trim());
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
    String[][] ways = {
      {"-Djava.awt.headless=true"}, {"-DDISPLAY-unset"}, {"-DDISPLAY=:9999"},
    };
    for (String[] way : ways) {
      Process program = start(Echo.class, way, new String[0]);
      program.getOutputStream().write("un\ndeux é\n".getBytes(StandardCharsets.UTF_8));
      program.getOutputStream().close();
      assertEquals(0, exitStatus(program), Arrays.toString(way) + ": " + read(stderr));
      assertEquals("> un\n> deux é\n", read(stdout), Arrays.toString(way));
    }
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

  /** Closes the window as its user would, through the window manager (Alt+F4). */
  private static void close(String window) throws Exception {
    xdotool("windowactivate", "--sync", window);
    xdotool("key", "--clearmodifiers", "alt+F4");
  }

  private static String xdotool(String... args) throws Exception {
    List<String> command = new ArrayList<>(Arrays.asList("timeout", "20", "xdotool"));
    command.addAll(Arrays.asList(args));
    Process process = new ProcessBuilder(command).redirectErrorStream(true).start();
    assertTrue(process.waitFor(30, TimeUnit.SECONDS), "xdotool hung");
    return new String(readAll(process), StandardCharsets.UTF_8);
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
