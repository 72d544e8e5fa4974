import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;

/**
 * java -cp LIBRARY:. HostedFrames FILE TICKS (on a display, Linux): a game's
 * screen in the console window as programs run there, in a process of their
 * own beside the window's. 600 frames at 60 a second, after 120 that warm
 * up, each redrawn from home after ESC[2J; the CPU the window's process took
 * for them goes to FILE, in ms, as xterm's is measured: the program's own is
 * not counted (the frames are RedrawBench's). TICKS: the clock ticks a
 * second of /proc's figures.
 */
public class HostedFrames {
  public static void main(String[] args) throws Exception {
    Console.setTitle("Frames");
    String window = field(Files.readAllLines(Paths.get("/proc/self/stat")).get(0), 4);
    RedrawBench.play(System.out, 120);
    long before = cpu(window);
    RedrawBench.play(System.out, 600);
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
}
