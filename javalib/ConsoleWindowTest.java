import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.EventQueue;
import java.awt.Frame;
import java.awt.Rectangle;
import java.awt.Robot;
import java.awt.Toolkit;
import java.awt.datatransfer.DataFlavor;
import java.awt.datatransfer.StringSelection;
import java.awt.event.KeyEvent;
import java.util.concurrent.CompletableFuture;
import java.util.concurrent.Callable;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;

/**
 * The console window on a real display, driven through the X server with
 * java.awt.Robot: what is printed, typed, pasted and copied. The program's side
 * runs here, in the test's thread, as a converted program's main would.
 */
class ConsoleWindowTest {
  private static FrameConsole frame;
  private static CurseurCanvasConsole canvas;
  private static Robot robot;

  @BeforeAll
  static void openTheWindow() throws Exception {
    Console.setTitle("Essai é");
    for (Frame f : Frame.getFrames()) if (f instanceof FrameConsole) frame = (FrameConsole) f;
    canvas = frame.canvas();
    robot = new Robot();
    robot.setAutoDelay(10);
    waitUntil("the window has the keyboard", () -> onEdt(canvas::isFocusOwner));
  }

  @Test
  void theWindowIsTitledAndHoldsEightyMonospacedColumns() throws Exception {
    assertEquals("Essai é", onEdt(frame::getTitle));
    assertEquals(80, canvas.getColumns());
    assertEquals(25, canvas.getRows());
    assertEquals("Monospaced", canvas.getFont().getName());
    int width = canvas.getFontMetrics(canvas.getFont()).charWidth('m') * 80;
    assertTrue(onEdt(() -> canvas.getVisibleRect().width) >= width);
  }

  @Test
  void aTypedLineEchoesAfterThePromptAndIsRead() throws Exception {
    Console.out.print("Nom ? ");
    CompletableFuture<String> line = readLine();
    type("Ada");
    waitUntil("the echo", () -> shown().endsWith("Nom ? Ada"));
    assertFalse(line.isDone(), "read before Enter");
    key(KeyEvent.VK_ENTER);
    assertEquals("Ada", line.get(10, TimeUnit.SECONDS));
    Console.out.println("Bonjour " + "Ada");
    waitUntil("the answer", () -> shown().endsWith("Nom ? Ada\nBonjour Ada\n"));
  }

  @Test
  void aScannerReadsTheWindowsLines() throws Exception {
    java.util.Scanner scanner = new java.util.Scanner(Console.in);
    CompletableFuture<String> read =
        CompletableFuture.supplyAsync(
            () -> scanner.nextInt() + scanner.nextInt() + " " + scanner.next());
    type("12 30");
    key(KeyEvent.VK_ENTER);
    type("Mot");
    key(KeyEvent.VK_ENTER);
    assertEquals("42 Mot", read.get(10, TimeUnit.SECONDS));
  }

  @Test
  void backspaceEditsOnlyTheLineBeingTyped() throws Exception {
    Console.out.print("P> ");
    CompletableFuture<String> line = readLine();
    key(KeyEvent.VK_BACK_SPACE);  // nothing typed yet: the prompt stays
    type("Adx");
    key(KeyEvent.VK_BACK_SPACE);
    type("a");
    key(KeyEvent.VK_ENTER);
    assertEquals("Ada", line.get(10, TimeUnit.SECONDS));
    waitUntil("the edited line", () -> shown().endsWith("P> Ada\n"));
  }

  @Test
  void pastedLinesAreReadInTurnWithAnyCharacter() throws Exception {
    String text = "un\r\ndeux é→日本\ntrois 😀";
    onEdt(
        () -> {
          StringSelection selection = new StringSelection(text);
          Toolkit.getDefaultToolkit().getSystemClipboard().setContents(selection, selection);
          return null;
        });
    CompletableFuture<String> first = readLine();
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_V);
    assertEquals("un", first.get(10, TimeUnit.SECONDS));
    assertEquals("deux é→日本", readLine().get(10, TimeUnit.SECONDS));
    CompletableFuture<String> last = readLine();
    waitUntil("the pasted rest", () -> shown().endsWith("trois 😀"));
    key(KeyEvent.VK_BACK_SPACE);  // the emoji is two chars: both go
    key(KeyEvent.VK_ENTER);
    assertEquals("trois ", last.get(10, TimeUnit.SECONDS));
    Console.out.println("lu : é→日本😀");
    waitUntil("the characters printed back", () -> shown().endsWith("lu : é→日本😀\n"));
  }

  @Test
  void aSelectionCanBeCopied() throws Exception {
    Console.out.println("à copier");
    waitUntil("the line", () -> shown().endsWith("à copier\n"));
    onEdt(
        () -> {
          int end = canvas.getDocument().getLength();
          canvas.select(end - "à copier\n".length(), end - 1);
          return null;
        });
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_C);
    waitUntil(
        "the clipboard",
        () ->
            "à copier"
                .equals(
                    onEdt(
                        () ->
                            Toolkit.getDefaultToolkit()
                                .getSystemClipboard()
                                .getData(DataFlavor.stringFlavor))));
    onEdt(
        () -> {
          canvas.select(0, 0);
          return null;
        });
  }

  @Test
  void standardErrorAndUncaughtExceptionsShowInTheWindow() throws Exception {
    System.err.println("attention");
    Thread worker =
        new Thread(
            () -> {
              throw new IllegalStateException("boum");
            },
            "calcul");
    worker.start();
    worker.join();
    waitUntil("the error line", () -> shown().contains("attention\n"));
    waitUntil(
        "the exception's trace",
        () ->
            shown().contains("Exception in thread \"calcul\" java.lang.IllegalStateException: boum\n")
                && shown().contains("\tat ConsoleWindowTest.lambda$"));
  }

  @Test
  void twentyThousandLinesEndWithTheLastInViewAndABoundedScrollBack() throws Exception {
    for (int i = 1; i <= 20000; ++i) Console.out.println("ligne " + i);
    waitUntil("the last line", () -> shown().endsWith("\nligne 20000\n"));
    waitUntil(
        "the last line in view",
        () ->
            onEdt(
                () -> {
                  int last = canvas.getDocument().getLength() - 2;
                  Rectangle line = canvas.modelToView(last);
                  return line != null && canvas.getVisibleRect().contains(line);
                }));
    String text = shown();
    assertEquals(CanvasConsole.MAX_LINES + 1, onEdt(canvas::getLineCount));
    assertTrue(text.startsWith("ligne 10001\n"), "10,000 lines kept, older ones dropped");
  }

  private static CompletableFuture<String> readLine() {
    return CompletableFuture.supplyAsync(Console.in::readLine);
  }

  private static String shown() throws Exception {
    return onEdt(canvas::shownText);
  }

  private static void type(String letters) {
    for (char c : letters.toCharArray()) {
      boolean upper = Character.isUpperCase(c);
      int code = KeyEvent.getExtendedKeyCodeForChar(Character.toLowerCase(c));
      if (upper) chord(KeyEvent.VK_SHIFT, code);
      else key(code);
    }
  }

  private static void key(int code) {
    robot.keyPress(code);
    robot.keyRelease(code);
    robot.waitForIdle();
  }

  private static void chord(int modifier, int code) {
    robot.keyPress(modifier);
    robot.keyPress(code);
    robot.keyRelease(code);
    robot.keyRelease(modifier);
    robot.waitForIdle();
  }

  private static <T> T onEdt(Callable<T> what) throws Exception {
    CompletableFuture<T> result = new CompletableFuture<>();
    EventQueue.invokeLater(
        () -> {
          try {
            result.complete(what.call());
          } catch (Exception e) {
            result.completeExceptionally(e);
          }
        });
    return result.get(10, TimeUnit.SECONDS);
  }

  interface Condition {
    boolean holds() throws Exception;
  }

  private static void waitUntil(String what, Condition condition) throws Exception {
    long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(20);
    while (!condition.holds()) {
      if (System.nanoTime() > deadline) {
        throw new AssertionError("no " + what + " within 20 s; the window shows:\n" + shown());
      }
      Thread.sleep(20);
    }
  }
}
