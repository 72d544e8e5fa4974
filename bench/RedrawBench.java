import java.awt.EventQueue;
import java.awt.Frame;
import java.lang.management.ManagementFactory;

/**
 * java -cp LIBRARY:. RedrawBench (on a display): the console window as a
 * game's screen and a progress line. 600 frames at 60 a second, each
 * redrawn from home after ESC[2J, with the CPU the whole program took for
 * them (after 120 frames that warm it up); then 100,000 updates of a line
 * redrawn after \r, timed until the last is painted.
 */
public class RedrawBench {
  public static void main(String[] args) throws Exception {
    Console.setTitle("Redraw");
    FrameConsole frame = null;
    while (frame == null) {
      for (Frame f : Frame.getFrames())
        if (f instanceof FrameConsole && f.isShowing()) frame = (FrameConsole) f;
      Thread.sleep(10);
    }
    CanvasConsole canvas = frame.canvas();
    com.sun.management.OperatingSystemMXBean os =
        (com.sun.management.OperatingSystemMXBean) ManagementFactory.getOperatingSystemMXBean();

    frames(canvas, 120);  // the compiler's work done first, as in a game that runs a while
    long cpu = os.getProcessCpuTime(), start = System.nanoTime();
    frames(canvas, 600);
    long seconds = (System.nanoTime() - start) / 1_000_000;
    System.err.printf(
        "console window: 600 frames at 60 a second: %d ms of CPU in %d ms, %d lines kept%n",
        (os.getProcessCpuTime() - cpu) / 1_000_000, seconds, canvas.lines()[1] - canvas.lines()[0] + 1);

    start = System.nanoTime();
    for (int i = 1; i <= 100000; ++i) Console.out.print("\r" + i + " %");
    Console.out.flush();
    waitShown(canvas, "100000 %");
    System.err.printf(
        "console window: 100,000 updates of a progress line: on screen in %d ms%n",
        (System.nanoTime() - start) / 1_000_000);
    System.exit(0);
  }

  /** `count` frames at 60 a second, each a screen of letters redrawn from home. */
  private static void frames(CanvasConsole canvas, int count) throws Exception {
    play(Console.out, count);
    waitShown(canvas, "image " + (count - 1));
  }

  /** `count` frames onto `out` at 60 a second, each a screen of letters redrawn from home. */
  static void play(java.io.PrintStream out, int count) throws Exception {
    long start = System.nanoTime();
    for (int n = 0; n < count; ++n) {
      StringBuilder screen = new StringBuilder("\033[H\033[2J");
      for (int row = 0; row < 24; ++row) {
        for (int col = 0; col < 79; ++col) screen.append((char) ('a' + (n + row + col) % 26));
        screen.append('\n');
      }
      screen.append("image ").append(n);
      out.print(screen);
      out.flush();
      long due = start + (n + 1) * 1_000_000_000L / 60;
      long wait = due - System.nanoTime();
      if (wait > 0) Thread.sleep(wait / 1_000_000, (int) (wait % 1_000_000));
    }
  }

  private static void waitShown(CanvasConsole canvas, String last) throws Exception {
    boolean[] shown = {false};
    while (!shown[0]) {
      EventQueue.invokeAndWait(
          () -> {
            if (!canvas.shownText().endsWith(last)) return;
            canvas.paintImmediately(canvas.getVisibleRect());
            shown[0] = true;
          });
      if (!shown[0]) Thread.sleep(1);
    }
  }
}
