import java.awt.EventQueue;
import java.awt.Frame;
import java.awt.Toolkit;
import java.awt.datatransfer.StringSelection;
import java.util.Arrays;
import java.util.concurrent.atomic.AtomicLong;

/**
 * java -cp LIBRARY:. ConsoleBench (on a display): the console window under
 * load. For each case, how long until the last of it is painted in view,
 * and the longest an event waited meanwhile (a probe posts one every 5 ms:
 * a key or a close waits as long): 20,000 println calls (cold, then the
 * median of four warm rounds); 1,000,000 lines, with the live heap after
 * them; a 10 MB line without a line end; the event thread printing while
 * another thread floods; a paste of 10,000 lines read back by the program.
 */
public class ConsoleBench {
  private static FrameConsole frame;
  private static CanvasConsole canvas;
  private static final AtomicLong worstWait = new AtomicLong();

  public static void main(String[] args) throws Exception {
    Console.setTitle("Bench");
    while (frame == null) {
      for (Frame f : Frame.getFrames())
        if (f instanceof FrameConsole && f.isShowing()) frame = (FrameConsole) f;
      Thread.sleep(10);
    }
    canvas = frame.canvas();
    Thread probe = new Thread(ConsoleBench::probe, "probe");
    probe.setDaemon(true);
    probe.start();

    long[] rounds = new long[5];
    for (int round = 0; round < rounds.length; ++round) {
      long start = System.nanoTime();
      for (int i = 1; i <= 20000; ++i) Console.out.println("round " + round + " line " + i);
      waitShown("round " + round + " line 20000");
      rounds[round] = millisSince(start);
    }
    long[] warm = Arrays.copyOfRange(rounds, 1, rounds.length);
    Arrays.sort(warm);
    report("20,000 lines, cold", rounds[0]);
    report("20,000 lines, warm (median of 4)", warm[warm.length / 2]);

    worstWait.set(0);
    long start = System.nanoTime();
    for (int i = 1; i <= 1000000; ++i) System.out.println("ligne " + i);
    waitShown("ligne 1000000");
    long million = millisSince(start);
    System.gc();
    System.gc();
    Runtime runtime = Runtime.getRuntime();
    long heap = (runtime.totalMemory() - runtime.freeMemory()) >> 20;
    report("1,000,000 lines (live heap after them " + heap + " MB)", million);

    worstWait.set(0);
    start = System.nanoTime();
    char[] chunk = new char[1 << 16];
    Arrays.fill(chunk, 'x');
    for (int i = 0; i < (10 << 20) / chunk.length; ++i) System.out.print(chunk);
    System.out.print("fin");
    System.out.flush();
    waitShown("xxxxfin");
    report("a 10 MB line without a line end", millisSince(start));
    Console.out.println();

    worstWait.set(0);
    start = System.nanoTime();
    Thread flood =
        new Thread(
            () -> {
              for (int i = 1; i <= 300000; ++i) System.out.println("flot " + i);
            });
    flood.start();
    for (int i = 0; i < 200; ++i) {
      final int n = i;
      EventQueue.invokeAndWait(() -> Console.out.println("depuis le fil des evenements " + n));
    }
    flood.join();
    waitShown("flot 300000");
    report("300,000 lines while the event thread prints 200", millisSince(start));

    worstWait.set(0);
    StringBuilder text = new StringBuilder();
    for (int i = 1; i <= 10000; ++i) text.append("collée ").append(i).append('\n');
    EventQueue.invokeAndWait(
        () -> {
          StringSelection selection = new StringSelection(text.toString());
          Toolkit.getDefaultToolkit().getSystemClipboard().setContents(selection, selection);
        });
    start = System.nanoTime();
    EventQueue.invokeLater(() -> frame.input().paste());
    String last = null;
    for (int i = 0; i < 10000; ++i) last = Console.in.readLine();
    if (!"collée 10000".equals(last)) throw new AssertionError("the paste ended with " + last);
    waitShown("collée 10000");
    report("a paste of 10,000 lines, all read", millisSince(start));
    System.exit(0);
  }

  /** Posts an event every 5 ms and notes how long the longest waited. */
  private static void probe() {
    for (; ; ) {
      long posted = System.nanoTime();
      EventQueue.invokeLater(() -> worstWait.accumulateAndGet(System.nanoTime() - posted, Math::max));
      try {
        Thread.sleep(5);
      } catch (InterruptedException e) {
        return;
      }
    }
  }

  /** Until the text ends with `last` (and a line end or not) and the view, at its end, is painted. */
  private static void waitShown(String last) throws Exception {
    boolean[] shown = {false};
    while (!shown[0]) {
      EventQueue.invokeAndWait(
          () -> {
            String text = canvas.shownText();
            String end = text.endsWith("\n") ? text.substring(0, text.length() - 1) : text;
            if (!end.endsWith(last) || !canvas.following()) return;
            canvas.paintImmediately(canvas.getVisibleRect());
            shown[0] = true;
          });
      if (!shown[0]) Thread.sleep(1);
    }
  }

  private static long millisSince(long start) {
    return (System.nanoTime() - start) / 1000000;
  }

  private static void report(String what, long millis) {
    System.err.printf(
        "console window: %s: on screen in %d ms, longest wait of an event %d ms%n",
        what, millis, worstWait.get() / 1000000);
  }
}
