import java.awt.EventQueue;
import java.awt.Frame;
import java.awt.Rectangle;
import java.util.Arrays;

/**
 * java -cp LIBRARY:. ConsoleBench (on a display): how long 20,000 println
 * calls take to reach the console window's screen, from the first call until
 * the last line is painted in view. Five rounds; the first starts cold.
 */
public class ConsoleBench {
  private static final int LINES = 20000;
  private static final int ROUNDS = 5;

  public static void main(String[] args) throws Exception {
    Console.setTitle("Bench");
    CurseurCanvasConsole canvas = null;
    while (canvas == null) {
      for (Frame frame : Frame.getFrames())
        if (frame instanceof FrameConsole && frame.isShowing())
          canvas = ((FrameConsole) frame).canvas();
      Thread.sleep(10);
    }
    final CurseurCanvasConsole shown = canvas;
    long[] millis = new long[ROUNDS];
    for (int round = 0; round < ROUNDS; ++round) {
      String last = "round " + round + " line " + LINES + "\n";
      long start = System.nanoTime();
      for (int i = 1; i <= LINES; ++i) Console.out.println("round " + round + " line " + i);
      boolean[] inView = {false};
      while (!inView[0]) {
        EventQueue.invokeAndWait(
            () -> {
              String text = shown.shownText();
              if (!text.endsWith(last)) return;
              try {
                Rectangle line = shown.modelToView(text.length() - 2);
                if (line == null || !shown.getVisibleRect().contains(line)) return;
              } catch (Exception e) {
                return;
              }
              shown.paintImmediately(shown.getVisibleRect());
              inView[0] = true;
            });
      }
      millis[round] = (System.nanoTime() - start) / 1000000;
    }
    long[] warm = Arrays.copyOfRange(millis, 1, ROUNDS);
    Arrays.sort(warm);
    System.err.printf(
        "console window: %d println calls on screen in %d ms cold, %d ms warm (median of %d)%n",
        LINES, millis[0], warm[warm.length / 2], warm.length);
    System.exit(0);
  }
}
