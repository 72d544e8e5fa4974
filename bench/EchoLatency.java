import java.awt.Rectangle;
import java.awt.Robot;
import java.awt.event.KeyEvent;
import java.awt.image.BufferedImage;
import java.io.BufferedReader;
import java.io.InputStreamReader;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.TimeUnit;

/**
 * java -cp LIBRARY:. EchoLatency [COMMAND...] (on a display, with xdotool):
 * how long a typed key takes to show. It starts a console program that reads
 * lines (this class, with "target"; or COMMAND, a terminal such as xterm),
 * waits for its window, then presses 20 keys, each from another process than
 * the window's, as a user's keyboard does, and times each from the press to
 * the first change of the window's pixels. Prints the median and the worst.
 */
public class EchoLatency {
  private static final int KEYS = 20;

  public static void main(String[] args) throws Exception {
    if (args.length == 1 && args[0].equals("target")) {
      Console.setTitle("Echo");
      while (Console.in.readLine() != null) {}
      return;
    }
    List<String> command = new ArrayList<>();
    String title = "Echo";
    if (args.length == 0) {
      command.add(System.getProperty("java.home") + "/bin/java");
      command.add("-cp");
      command.add(System.getProperty("java.class.path"));
      command.add("EchoLatency");
      command.add("target");
    } else {
      command.addAll(Arrays.asList(args));
      title = "EchoTerminal";
    }
    Process target = new ProcessBuilder(command).inheritIO().start();
    try {
      String window = xdotool("search", "--sync", "--onlyvisible", "--name", "^" + title + "$");
      window = window.split("\n")[0].trim();
      xdotool("windowactivate", "--sync", window);
      Thread.sleep(1500);  // the window drawn and settled
      String geometry = run("xwininfo", "-id", window);
      int x = field(geometry, "Absolute upper-left X"), y = field(geometry, "Absolute upper-left Y");
      int width = field(geometry, "Width"), height = field(geometry, "Height");
      Rectangle strip = new Rectangle(x, y, width, Math.min(height, 120));
      Robot robot = new Robot();
      long[] micros = new long[KEYS];
      for (int i = 0; i < KEYS; ++i) {
        int[] before = pixels(robot.createScreenCapture(strip));
        long start = System.nanoTime();
        robot.keyPress(KeyEvent.VK_A + i % 26);
        robot.keyRelease(KeyEvent.VK_A + i % 26);
        while (Arrays.equals(before, pixels(robot.createScreenCapture(strip)))) {
          if (System.nanoTime() - start > TimeUnit.SECONDS.toNanos(5))
            throw new AssertionError("key " + i + " never showed");
        }
        micros[i] = (System.nanoTime() - start) / 1000;
        Thread.sleep(60);
      }
      Arrays.sort(micros);
      System.out.printf(
          "%s: a typed key on screen in %.1f ms (median of %d), %.1f ms at worst%n",
          args.length == 0 ? "console window" : args[0],
          micros[KEYS / 2] / 1000.0,
          KEYS,
          micros[KEYS - 1] / 1000.0);
    } finally {
      target.destroyForcibly();
    }
  }

  private static int[] pixels(BufferedImage image) {
    return image.getRGB(0, 0, image.getWidth(), image.getHeight(), null, 0, image.getWidth());
  }

  /** A number of xwininfo's: "  NAME:  123". */
  private static int field(String info, String name) {
    for (String line : info.split("\n")) {
      line = line.trim();
      if (line.startsWith(name + ":")) return Integer.parseInt(line.substring(name.length() + 1).trim());
    }
    throw new IllegalStateException("no " + name + " in " + info);
  }

  private static String xdotool(String... args) throws Exception {
    List<String> command = new ArrayList<>(Arrays.asList("xdotool"));
    command.addAll(Arrays.asList(args));
    return run(command.toArray(new String[0]));
  }

  private static String run(String... args) throws Exception {
    List<String> command = new ArrayList<>(Arrays.asList("timeout", "30"));
    command.addAll(Arrays.asList(args));
    Process process = new ProcessBuilder(command).redirectErrorStream(true).start();
    StringBuilder out = new StringBuilder();
    try (BufferedReader reader =
        new BufferedReader(new InputStreamReader(process.getInputStream(), "UTF-8"))) {
      for (String line; (line = reader.readLine()) != null; ) out.append(line).append('\n');
    }
    if (!process.waitFor(40, TimeUnit.SECONDS)) throw new IllegalStateException(args[0] + " hung");
    return out.toString();
  }
}
