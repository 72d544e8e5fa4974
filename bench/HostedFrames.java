import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;

/**
 * java -cp LIBRARY:. HostedFrames FILE TICKS (on a display, Linux): a game's
 * screen in the console window as programs run there, in a process of their
 * own beside the window's. 600 frames at 60 a second, after 120 that warm
 * up, each redrawn from home after ESC[2J; the CPU the window's process took
 * for them goes to FILE, in ms, as xterm's is measured: the program's own is
 * not counted. TICKS: the clock ticks a second of /proc's figures.
 */
public class HostedFrames {
  public static void main(String[] args) throws Exception {
    Console.setTitle("Frames");
    String window = field(Files.readAllLines(Paths.get("/proc/self/stat")).get(0), 4);
    frames(120);
    long before = cpu(window);
    frames(600);
    Thread.sleep(300);
    long ms = (cpu(window) - before) * 1000 / Long.parseLong(args[1]);
    Files.write(Paths.get(args[0]), (ms + "\n").getBytes(StandardCharsets.US_ASCII));
  }

  /** Field `n` (from 1) of a /proc stat line, counted after the command's name. */
  private static String field(String stat, int n) {
    return stat.substring(stat.lastIndexOf(')') + 2).split(" ")[n - 3];
  }

  /** User and system CPU of process `pid`, in clock ticks. */
  private static long cpu(String pid) throws Exception {
    String stat = Files.readAllLines(Paths.get("/proc/" + pid + "/stat")).get(0);
    return Long.parseLong(field(stat, 14)) + Long.parseLong(field(stat, 15));
  }

  private static void frames(int count) throws Exception {
    long start = System.nanoTime();
    for (int n = 0; n < count; ++n) {
      StringBuilder screen = new StringBuilder("\033[H\033[2J");
      for (int row = 0; row < 24; ++row) {
        for (int col = 0; col < 79; ++col) screen.append((char) ('a' + (n + row + col) % 26));
        screen.append('\n');
      }
      screen.append("image ").append(n);
      System.out.print(screen);
      System.out.flush();
      long due = start + (n + 1) * 1_000_000_000L / 60;
      long wait = due - System.nanoTime();
      if (wait > 0) Thread.sleep(wait / 1_000_000, (int) (wait % 1_000_000));
    }
  }
}
