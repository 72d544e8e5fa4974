import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;

/**
 * java -cp LIBRARY:. HostedFrames FILE TICKS (on a display, Linux): a game's
 * screen in the console window as programs run there, in a process of their
 * own beside the window's. Frames at 60 a second, each redrawn from home
 * after ESC[2J (RedrawBench's); the CPU the window's process took for 600 of
 * them goes to FILE, in ms, as xterm's is measured (the program's own is not
 * counted): the first 10 s after 120 frames, then 10 s after the game has
 * run half a minute, once the JVM has compiled the window's code. TICKS: the
 * clock ticks a second of /proc's figures.
 */
public class HostedFrames {
  public static void main(String[] args) throws Exception {
    Console.setTitle("Frames");
    String window = field(Files.readAllLines(Paths.get("/proc/self/stat")).get(0), 4);
    long ticks = Long.parseLong(args[1]);
    RedrawBench.play(System.out, 120);
    long first = stretch(window, ticks);
    RedrawBench.play(System.out, 1080);
    long later = stretch(window, ticks);
    Files.write(Paths.get(args[0]), (first + " " + later + "\n").getBytes(StandardCharsets.US_ASCII));
  }

  /** The window's CPU for 600 frames, in ms. */
  private static long stretch(String window, long ticks) throws Exception {
    long before = cpu(window);
    RedrawBench.play(System.out, 600);
    Thread.sleep(300);
    return (cpu(window) - before) * 1000 / ticks;
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
}
