import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.awt.Color;
import java.awt.Component;
import java.awt.EventQueue;
import java.awt.Frame;
import java.awt.Point;
import java.awt.Rectangle;
import java.awt.Robot;
import java.awt.Toolkit;
import java.awt.datatransfer.DataFlavor;
import java.awt.datatransfer.StringSelection;
import java.awt.event.InputEvent;
import java.awt.event.KeyEvent;
import java.awt.image.BufferedImage;
import java.io.BufferedReader;
import java.io.DataInputStream;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Scanner;
import java.util.concurrent.Callable;
import java.util.concurrent.CompletableFuture;
import java.util.concurrent.TimeUnit;
import javax.accessibility.Accessible;
import javax.accessibility.AccessibleContext;
import javax.accessibility.AccessibleEditableText;
import javax.accessibility.AccessibleRole;
import javax.accessibility.AccessibleText;
import javax.swing.JMenuItem;
import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;

/**
 * The console window on a real display, driven through the X server with
 * java.awt.Robot (and xdotool for a French keyboard): what is printed,
 * typed, edited, pasted, copied, found and saved. The program's side runs
 * here, in the test's threads, as a converted program's would.
 */
class ConsoleWindowTest {
  private static FrameConsole frame;
  private static CanvasConsole canvas;
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

  @BeforeEach
  void aCleanWindow() throws Exception {
    // What a failed test left typed is not the next one's.
    while (frame.input().waiting() > 0) Console.in.readLine();
    onEdt(
        () -> {
          frame.clear();
          canvas.scrollToBottom();
          return null;
        });
    Console.out.println();
  }

  @Test
  void theWindowIsTitledAndHoldsEightyMonospacedColumns() throws Exception {
    assertEquals("Essai é", onEdt(frame::getTitle));
    assertEquals(80, onEdt(canvas::grid)[0]);
    assertEquals(25, onEdt(canvas::grid)[1]);
    assertEquals("Monospaced", canvas.getFont().getName());
  }

  @Test
  void aTypedLineEchoesAfterThePromptInItsOwnColourAndIsRead() throws Exception {
    Console.out.print("Nom ? ");
    CompletableFuture<String> line = readLine();
    type("Ada");
    waitUntil("the echo", () -> shown().endsWith("Nom ? Ada"));
    assertFalse(line.isDone(), "read before Enter");
    key(KeyEvent.VK_ENTER);
    assertEquals("Ada", line.get(10, TimeUnit.SECONDS));
    Console.out.println("Bonjour Ada");
    waitUntil("the answer", () -> shown().endsWith("Nom ? Ada\nBonjour Ada\n"));
    long typed = lastLine() - 2;
    assertEquals(CanvasConsole.OUTPUT, canvas.styleShown(typed, 0) & CanvasConsole.KIND);
    assertEquals(CanvasConsole.INPUT, canvas.styleShown(typed, 6) & CanvasConsole.KIND);
  }

  // Console.out and System.out are one stream: a line one begins and the
  // other ends (a program and its helper class) stays whole and in order.
  @Test
  void consoleOutAndSystemOutAreOneStream() throws Exception {
    assertTrue(System.out == Console.out);
    Console.out.print("Total : ");
    System.out.println(42);
    waitUntil("the line", () -> shown().endsWith("\nTotal : 42\n"));
  }

  // Every stream in the order it was written: a prompt not yet ended shows
  // before a line of another stream, as on a terminal.
  @Test
  void theStreamsComeInTheOrderWritten() throws Exception {
    Console.out.print("Resultat : ");
    System.err.println("attention");
    Console.out.println(42);
    waitUntil("the lines", () -> shown().endsWith("\nResultat : attention\n42\n"));
  }

  // Input as a terminal gives it: lines typed ahead are available and
  // ready; Ctrl+D and Ctrl+Z end the read that waits, and the next waits
  // for new lines.
  @Test
  void theInputKeysActAsATerminals() throws Exception {
    type("abc");
    key(KeyEvent.VK_ENTER);
    waitUntil("the line waiting", () -> frame.input().waiting() == 1);
    assertEquals(("abc" + System.lineSeparator()).length(), System.in.available());
    assertTrue(Console.in.ready());
    assertTrue(new InputStreamReader(System.in).ready());
    assertEquals("abc", Console.in.readLine());
    assertFalse(Console.in.ready());
    for (int code : new int[] {KeyEvent.VK_D, KeyEvent.VK_Z}) {
      CompletableFuture<String> ended = readLine();
      chord(KeyEvent.VK_CONTROL, code);
      assertEquals(null, ended.get(10, TimeUnit.SECONDS));
      CompletableFuture<String> again = readLine();
      type("encore");
      key(KeyEvent.VK_ENTER);
      assertEquals("encore", again.get(10, TimeUnit.SECONDS));
    }
  }

  // What is shown is what is read: the line is edited where its caret is.
  @Test
  void theLineIsEditedAtItsCaret() throws Exception {
    String[][] cases = {
      {"abc", "Left Left", "X", "aXbc"},
      {"abc", "Home", "X", "Xabc"},
      {"abcd", "Home Right Delete", "", "acd"},
      {"abcd", "Left BackSpace", "", "abd"},
      {"abc", "Home End", "X", "abcX"},
      {"un deux", "ctrl+Left BackSpace", "", "undeux"},
      {"un deux trois", "Home ctrl+Right ctrl+Right", "!", "un deux! trois"},
      {"abcdef", "shift+Left shift+Left", "X", "abcdX"},
      {"abc", "Left Left Left Left Left", "<", "<abc"},
    };
    for (String[] c : cases) {
      CompletableFuture<String> line = readLine();
      type(c[0]);
      keys(c[1]);
      type(c[2]);
      waitUntil("the edited line " + c[3], () -> shown().endsWith(c[3]));
      key(KeyEvent.VK_ENTER);
      assertEquals(c[3], line.get(10, TimeUnit.SECONDS), String.join(" / ", c));
    }
    // Output while typing goes before the line, which stays as it is.
    CompletableFuture<String> line = readLine();
    type("abc");
    keys("Left");
    Console.out.println("sortie");
    waitUntil("the output", () -> shown().endsWith("sortie\nabc"));
    type("X");
    key(KeyEvent.VK_ENTER);
    assertEquals("abXc", line.get(10, TimeUnit.SECONDS));
  }

  @Test
  void upAndDownRecallTheLinesTypedBefore() throws Exception {
    for (String word : new String[] {"premier", "second"}) {
      CompletableFuture<String> line = readLine();
      type(word);
      key(KeyEvent.VK_ENTER);
      assertEquals(word, line.get(10, TimeUnit.SECONDS));
    }
    CompletableFuture<String> line = readLine();
    type("brouillon");
    keys("Up Up");
    waitUntil("the older line", () -> shown().endsWith("premier"));
    keys("Down");
    waitUntil("the newer line", () -> shown().endsWith("second"));
    keys("Down");
    waitUntil("the line being typed, back", () -> shown().endsWith("brouillon"));
    keys("Up End");
    type("!");
    key(KeyEvent.VK_ENTER);
    assertEquals("second!", line.get(10, TimeUnit.SECONDS));
  }

  // System.console(), converted: a password typed shows nothing of itself,
  // in the line, its echo, the history or a copy, and is read whole.
  @Test
  void aPasswordIsReadWithoutShowingIt() throws Exception {
    assertNotNull(Console.console());
    CompletableFuture<char[]> secret =
        CompletableFuture.supplyAsync(() -> Console.console().readPassword("Mot de passe : "));
    waitUntil("the prompt", () -> shown().endsWith("Mot de passe : "));
    type("s3cret");
    keys("shift+Home");
    assertEquals(null, onEdt(() -> frame.input().selectedText()));
    keys("End");
    waitUntil("nothing of it shown", () -> shown().endsWith("Mot de passe : "));
    key(KeyEvent.VK_ENTER);
    assertEquals("s3cret", new String(secret.get(10, TimeUnit.SECONDS)));
    CompletableFuture<String> name =
        CompletableFuture.supplyAsync(() -> Console.console().readLine("Nom : "));
    waitUntil("the next prompt", () -> shown().endsWith("Mot de passe : \nNom : "));
    type("Ada");
    key(KeyEvent.VK_ENTER);
    assertEquals("Ada", name.get(10, TimeUnit.SECONDS));
    CompletableFuture<String> line = readLine();
    keys("Up Up");
    assertFalse(shown().contains("s3cret"), "recalled");
    keys("Down Down");
    key(KeyEvent.VK_ENTER);
    assertEquals("", line.get(10, TimeUnit.SECONDS));
  }

  // A program may read on the event thread: the window answers meanwhile.
  @Test
  void aReadOnTheEventThreadLetsTheWindowAnswer() throws Exception {
    CompletableFuture<String> line = new CompletableFuture<>();
    EventQueue.invokeLater(() -> line.complete(Console.in.readLine()));
    type("fil");
    key(KeyEvent.VK_ENTER);
    assertEquals("fil", line.get(10, TimeUnit.SECONDS));
  }

  @Test
  void aScannerReadsTheWindowsLines() throws Exception {
    Scanner scanner = new Scanner(Console.in);
    CompletableFuture<String> read =
        CompletableFuture.supplyAsync(
            () -> scanner.nextInt() + scanner.nextInt() + " " + scanner.next());
    type("12 30");
    key(KeyEvent.VK_ENTER);
    type("Mot");
    key(KeyEvent.VK_ENTER);
    assertEquals("42 Mot", read.get(10, TimeUnit.SECONDS));
  }

  // Whatever reads System.in reads the window, from one queue of lines with
  // Console.in: whoever asks first gets the next line.
  @Test
  void systemInReadsTheWindowToo() throws Exception {
    assertTrue(System.in instanceof CurseurCanvasConsole);
    CompletableFuture<String> bytes =
        CompletableFuture.supplyAsync(
            () -> {
              StringBuilder got = new StringBuilder();
              try {
                for (int c; (c = System.in.read()) != '\n'; ) got.append((char) c);
                return got + "|" + System.in.available();
              } catch (Exception e) {
                return e.toString();
              }
            });
    type("octets");
    key(KeyEvent.VK_ENTER);
    assertEquals("octets|0", bytes.get(10, TimeUnit.SECONDS));

    // A line typed goes to whoever asks for it; a BufferedReader takes
    // what is available when it reads, lines typed ahead too, as on a
    // terminal.
    BufferedReader reader = new BufferedReader(new InputStreamReader(System.in));
    CompletableFuture<String> first = supply(reader::readLine);
    pasteText("un\n");
    assertEquals("un", first.get(10, TimeUnit.SECONDS));
    CompletableFuture<String> second = supply(Console.in::readLine);
    pasteText("deux\n");
    assertEquals("deux", second.get(10, TimeUnit.SECONDS), "the next line goes to whoever asks");
    CompletableFuture<String> third = supply(reader::readLine);
    pasteText("trois\nquatre\n");
    assertEquals("trois", third.get(10, TimeUnit.SECONDS));
    assertEquals("quatre", supply(reader::readLine).get(10, TimeUnit.SECONDS));

    Scanner scanner = new Scanner(System.in);
    CompletableFuture<String> scanned = supply(scanner::nextLine);
    pasteText("é→日本 😀\n");
    assertEquals("é→日本 😀", scanned.get(10, TimeUnit.SECONDS));
    @SuppressWarnings("deprecation")
    CompletableFuture<String> data = supply(() -> new DataInputStream(System.in).readLine());
    pasteText("fin\n");
    assertEquals("fin", data.get(10, TimeUnit.SECONDS));
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
    CompletableFuture<String> first = readLine();
    pasteText("un\r\ndeux é→日本\ntrois 😀");
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
  void aPasteOfTenThousandLinesArrivesWholeAndInOrder() throws Exception {
    StringBuilder text = new StringBuilder();
    for (int i = 1; i <= 10000; ++i) text.append("ligne ").append(i).append('\n');
    CompletableFuture<String> read =
        supply(
            () -> {
              for (int i = 1; i <= 10000; ++i) {
                String line = Console.in.readLine();
                if (!line.equals("ligne " + i)) return "line " + i + " was " + line;
              }
              return "all";
            });
    pasteText(text.toString());
    assertEquals("all", read.get(30, TimeUnit.SECONDS));
  }

  @Test
  void aSelectionCanBeCopiedAndEverythingSelected() throws Exception {
    Console.out.println("à copier");
    waitUntil("the line", () -> shown().endsWith("à copier\n"));
    long line = lastLine() - 1;
    onEdt(
        () -> {
          canvas.select(line, 0, "à copier".length());
          return null;
        });
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_C);
    waitUntil("the clipboard", () -> "à copier".equals(clipboard()));
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_A);
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_C);
    waitUntil("all of it on the clipboard", () -> clipboard().endsWith("\nà copier\n"));
    onEdt(
        () -> {
          canvas.clearSelection();
          return null;
        });
  }

  // Lines printed at the same time through System.out, System.err and
  // Console.out never merge.
  @Test
  void linesPrintedByThreadsAtOnceStayWhole() throws Exception {
    java.io.PrintStream[] streams = {System.out, System.err, Console.out};
    List<Thread> threads = new ArrayList<>();
    for (int t = 0; t < streams.length; ++t) {
      final int n = t;
      threads.add(
          new Thread(
              () -> {
                for (int i = 0; i < 2500; ++i) {
                  if (i % 2 == 0) streams[n].println("T" + n + " ligne " + i + " fin");
                  else streams[n].printf("T%d ligne %d fin%n", n, i);
                }
              }));
    }
    for (Thread t : threads) t.start();
    for (Thread t : threads) t.join();
    waitUntil("every line", () -> shown().split("\n").length > 7500);
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_A);
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_C);
    waitUntil("the clipboard", () -> clipboard().contains("T2 ligne 2499 fin"));
    int whole = 0;
    for (String line : clipboard().split("\n")) {
      if (line.isEmpty()) continue;
      assertTrue(line.matches("T[0-2] ligne \\d+ fin"), "a merged line: " + line);
      ++whole;
    }
    assertEquals(7500, whole);
    onEdt(
        () -> {
          canvas.clearSelection();
          return null;
        });
  }

  // What the program's process writes, as the window's process relays it:
  // the marks found wherever a read ends, other escapes left to the screen.
  @Test
  void theRelayFindsItsMarksWhereverAReadEnds() throws Exception {
    String mark = "\033]7700;";
    byte[] bytes =
        ("\033[31mrouge\033[0m " + mark + "e\007erreur" + mark + "o\007 fin\n" + mark + "ttitre\007")
            .getBytes(StandardCharsets.UTF_8);
    List<java.io.InputStream> byteByByte = new ArrayList<>();
    for (byte b : bytes) byteByByte.add(new java.io.ByteArrayInputStream(new byte[] {b}));
    java.io.InputStream[] reads = {
      new java.io.ByteArrayInputStream(bytes),
      new java.io.SequenceInputStream(java.util.Collections.enumeration(byteByByte))
    };
    for (java.io.InputStream read : reads) {
      screenAfter("");
      List<String> told = new ArrayList<>();
      ConsolePrinter.relay(read, (ConsolePrinter) Console.out, (ConsolePrinter) System.err, told::add);
      onEdt(() -> null);
      assertEquals("rouge erreur fin\n", screen());
      long line = lineHolding("rouge");
      assertEquals(CanvasConsole.ERROR, onEdt(() -> canvas.styleShown(line, 6)) & CanvasConsole.KIND);
      assertEquals(CanvasConsole.OUTPUT, onEdt(() -> canvas.styleShown(line, 13)) & CanvasConsole.KIND);
      assertEquals(1, onEdt(() -> canvas.styleShown(line, 0)) & 0x1ff, "red");
      assertEquals(java.util.Arrays.asList("ttitre"), told);
    }
  }

  @Test
  void standardErrorAndUncaughtExceptionsShowInRed() throws Exception {
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
                && shown().contains("        at ConsoleWindowTest.lambda$"));
    long line = lineHolding("attention");
    assertEquals(CanvasConsole.ERROR, canvas.styleShown(line, 0) & CanvasConsole.KIND);
    assertEquals(new Color(0xf1, 0x4c, 0x4c), colourOf(line, 0));
  }

  // Control characters as a terminal treats them.
  @Test
  void controlCharactersActAsInATerminal() throws Exception {
    Console.out.print("abcdef\rXY\n");
    Console.out.print("12345\b\b9\n");
    Console.out.print("a\tb\tc\n");
    Console.out.print("bi\007p\u0001\u0002\u007f!\n");
    for (int i = 0; i <= 100; i += 20) Console.out.print("\r" + i + " %");
    Console.out.println();
    waitUntil(
        "the lines",
        () -> shown().endsWith("XYcdef\n12395\na       b       c\nbip!\n100 %\n"));
    Console.out.print("avant\f");
    Console.out.println("après");
    waitUntil("the window cleared", () -> onEdt(canvas::visibleText).startsWith("après\n"));
    assertTrue(shown().contains("avant\n"), "what was cleared is in the scroll-back");
  }

  // The escape sequences of console programs: colours, bold, clearing and
  // moving the cursor home; any other is swallowed.
  @Test
  void escapeSequencesColourClearAndMoveHome() throws Exception {
    Console.out.println("\033[31mrouge\033[0m \033[1;32mvert\033[0m \033[44;97mfond\033[0m"
        + " \033[38;5;208morange\033[39m \033[48;5;22mvert fonce\033[49m \033[95mvif\033[0m");
    waitUntil("the colours", () -> shown().contains("rouge vert fond orange vert fonce vif\n"));
    long line = lineHolding("rouge vert");
    assertEquals(1, canvas.styleShown(line, 0) & 0x1ff);
    assertEquals(new Color(0xcd, 0x31, 0x31), colourOf(line, 1));
    assertTrue((canvas.styleShown(line, 6) & CanvasConsole.BOLD) != 0);
    assertEquals(4, (canvas.styleShown(line, 11) >> CanvasConsole.BG_SHIFT) & 0x1ff);
    assertEquals(208, canvas.styleShown(line, 16) & 0x1ff);
    assertEquals(22, (canvas.styleShown(line, 23) >> CanvasConsole.BG_SHIFT) & 0x1ff);
    assertEquals(13, canvas.styleShown(line, 34) & 0x1ff);
    assertEquals(CanvasConsole.PLAIN, canvas.styleShown(line, 5));

    // A screen redrawn from home, as a game or a menu does.
    for (int frame = 1; frame <= 3; ++frame)
      Console.out.print("\033[H\033[2JImage " + frame + "\nligne deux\n");
    Console.out.print("\033[Hxx\033[K\n");
    Console.out.print("\033[?25l\033]0;titre\007\033(B\033[5n\033[1;1H");
    Console.out.flush();
    waitUntil("the last frame", () -> onEdt(canvas::visibleText).startsWith("xx\nligne deux\n"));
    assertFalse(shown().contains("titre"), "an operating system command is not drawn");
    Console.out.print("\033cremis a zero\n");
    waitUntil("the reset", () -> onEdt(canvas::visibleText).startsWith("remis a zero\n"));
  }

  // A screen reader reads the canvas as a text: the output, the typed line
  // with its caret, and, line by line from the keyboard, the history.
  @Test
  void aScreenReaderReadsTheOutputAndTheTypedLine() throws Exception {
    AccessibleContext context = canvas.getAccessibleContext();
    assertNotNull(context);
    assertEquals(AccessibleRole.TEXT, context.getAccessibleRole());
    Accessible parent = context.getAccessibleParent();
    boolean among = false;
    for (int i = 0; i < parent.getAccessibleContext().getAccessibleChildrenCount(); ++i)
      among |= parent.getAccessibleContext().getAccessibleChild(i) == canvas;
    assertTrue(among, "the canvas is in the window's accessibility tree");
    List<String> events = new java.util.concurrent.CopyOnWriteArrayList<>();
    context.addPropertyChangeListener(e -> events.add(e.getPropertyName()));
    AccessibleText text = context.getAccessibleText();
    Console.out.println("premiere ligne lue");
    Console.out.print("Votre nom ? ");
    CompletableFuture<String> line = readLine();
    waitUntil("the output read", () -> onEdt(() -> all(text)).endsWith("premiere ligne lue\nVotre nom ? \n"));
    assertTrue(events.contains(AccessibleContext.ACCESSIBLE_TEXT_PROPERTY), events.toString());
    type("Ada");
    waitUntil("the typed line read", () -> onEdt(() -> all(text)).endsWith("Votre nom ? Ada\n"));
    waitUntil(
        "the caret after it",
        () -> onEdt(() -> text.getCaretPosition() == text.getCharCount() - 1));
    assertTrue(events.contains(AccessibleContext.ACCESSIBLE_CARET_PROPERTY), events.toString());
    // Alt+Up reads the line above; typing goes back to the typed line.
    chord(KeyEvent.VK_ALT, KeyEvent.VK_UP);
    waitUntil("the line above selected", () -> "premiere ligne lue".equals(onEdt(text::getSelectedText)));
    chord(KeyEvent.VK_ALT, KeyEvent.VK_DOWN);
    waitUntil("the line below selected", () -> "Votre nom ? Ada".equals(onEdt(text::getSelectedText)));
    key(KeyEvent.VK_ENTER);
    assertEquals("Ada", line.get(10, TimeUnit.SECONDS));
    waitUntil("the caret on the new line", () -> onEdt(() -> text.getSelectedText() == null));

    // A character's bounds are where the canvas draws it, on a wrapped row too.
    int columns = onEdt(canvas::grid)[0];
    Console.out.println("bornes " + repeat('x', columns) + "fin");
    waitUntil("the long line read", () -> onEdt(() -> all(text)).contains("xfin\n"));
    long bounded = lineHolding("bornes");
    String whole = onEdt(() -> ((AccessibleEditableText) text).getTextRange(0, text.getCharCount()));
    int start = whole.lastIndexOf("bornes ");
    Point canvasOrigin = onEdt(canvas::getLocationOnScreen);
    for (int cell : new int[] {2, columns + 8}) {
      Rectangle drawn = onEdt(() -> canvas.cellBounds(bounded, cell));
      Rectangle given = onEdt(() -> text.getCharacterBounds(start + cell));
      Point textOrigin = onEdt(() -> context.getAccessibleComponent().getLocationOnScreen());
      assertEquals(
          new Point(canvasOrigin.x + drawn.x, canvasOrigin.y + drawn.y),
          new Point(textOrigin.x + given.x, textOrigin.y + given.y),
          "cell " + cell);
      assertEquals(drawn.height, given.height);
      assertEquals(drawn.width, given.width, 1.0, "its width, to a pixel the text area adds");
    }
  }

  /** The end of what a screen reader reads, its last 200 characters at most. */
  private static String all(AccessibleText text) {
    int n = text.getCharCount();
    return ((AccessibleEditableText) text).getTextRange(Math.max(0, n - 200), n);
  }

  // Wide characters, emoji and combining marks where a terminal puts them;
  // found, selected and copied as characters.
  @Test
  void everyScriptTakesTheCellsATerminalGivesIt() throws Exception {
    int columns = onEdt(canvas::grid)[0];
    String row = repeat('x', columns - 1);
    for (String wide : new String[] {"中", "😀"}) {
      assertEquals(row + wide + "|\n", screenAfter(row + wide + "|"));
      String[] rows = onEdt(canvas::visibleText).split("\n");
      assertEquals(row, rows[0], "nothing of it on the first row");
      assertEquals(wide + "|", rows[1], "it starts the next row whole");
    }
    // A combining mark joins its letter: what follows stays in its column.
    assertEquals("caf\u00e9X\n", screenAfter("cafe\u0301|\r\033[4CX"));
    // So do marks Unicode has no single character for: a Thai vowel, a
    // Devanagari virama, a second accent, an emoji's variation selector.
    assertEquals("\u0e01\u0e34X\n", screenAfter("\u0e01\u0e34\u0e19\r\033[1CX"));
    assertEquals("\u0915\u094dX\n", screenAfter("\u0915\u094d\u0937\r\033[1CX"));
    assertEquals("\u1eb9\u0301X\n", screenAfter("e\u0323\u0301b\r\033[1CX"));
    assertEquals("\ud83d\ude00\ufe0fX\n", screenAfter("\ud83d\ude00\ufe0f|\r\033[2CX"));
    // A private-use character printed is itself, cluster codes or not.
    assertEquals("\ue000\uf8ffX\n", screenAfter("\ue000\uf8ff|\r\033[2CX"));
    screenAfter("Yoruba: \u1eb9\u0301 \u0915\u094d\u0937\u093e\n");
    long cluster = lineHolding("Yoruba");
    assertTrue(onEdt(() -> canvas.find("\u0915\u094d\u0937", false)));
    assertArrayEquals(new long[] {cluster, 10, 2}, onEdt(canvas::match), "two cells, found whole");
    assertTrue(onEdt(() -> canvas.find("e\u0323\u0301", false)), "found as typed, not composed");
    assertArrayEquals(new long[] {cluster, 8, 1}, onEdt(canvas::match));
    assertEquals("Yoruba: \u1eb9\u0301 \u0915\u094d\u0937\u093e", copied(cluster, 13));
    // Typed, a mark takes no cell of its own either.
    screenAfter("");
    CompletableFuture<String> thai = readLine();
    pasteText("\u0e01\u0e34\u0e19");
    waitUntil("the typed line", () -> shown().contains("\u0e01\u0e34\u0e19"));
    long typed = lineHolding("\u0e01\u0e34\u0e19");
    assertEquals(CanvasConsole.PLAIN | CanvasConsole.INPUT, (int) onEdt(() -> canvas.styleShown(typed, 1)));
    assertEquals(-1, (int) onEdt(() -> canvas.styleShown(typed, 2)), "two cells");
    key(KeyEvent.VK_ENTER);
    assertEquals("\u0e01\u0e34\u0e19", thai.get(10, TimeUnit.SECONDS));
    screenAfter("abc 中文 def\n");
    long line = lineHolding("abc");
    assertTrue(onEdt(() -> canvas.find("中文", false)));
    long[] match = onEdt(canvas::match);
    assertEquals(line, match[0]);
    assertEquals(4, match[1], "from the first cell of 中");
    assertEquals(4, match[2], "to the last cell of 文");
    assertEquals("abc 中文 def", copied(line, 12));
  }

  /** The text selected from a line's first `cells` cells, the match found and the selection gone. */
  private static String copied(long line, int cells) throws Exception {
    return onEdt(
        () -> {
          canvas.find("", false);
          canvas.select(line, 0, cells);
          String text = canvas.selectedText();
          canvas.clearSelection();
          return text;
        });
  }

  /** What the screen holds after `bytes`, as xterm would show it on a fresh screen. */
  private static String screenAfter(String bytes) throws Exception {
    Console.out.print("\033[2J\033[H" + bytes);
    Console.out.flush();
    onEdt(() -> null);
    return screen();
  }

  /** The screen's lines, but for the blank ones at its end, which xterm shows as blank rows. */
  private static String screen() {
    String text = canvas.screenText();
    int end = text.length();
    while (end > 1 && text.charAt(end - 1) == '\n' && text.charAt(end - 2) == '\n') --end;
    return text.substring(0, end);
  }

  // A terminal's whole screen, each sequence as xterm draws the same bytes.
  @Test
  void theScreenIsKeptAsXtermKeepsIt() throws Exception {
    // Save and restore of the cursor, with its style.
    assertEquals("0123X567\n", screenAfter("0123\0337\033[31m4567\0338X"));
    assertEquals(CanvasConsole.PLAIN, canvas.styleShown(lineHolding("0123X"), 4));
    assertEquals("abZd\n", screenAfter("ab\033[scd\033[uZ"));
    // Characters inserted, deleted and erased at the cursor.
    assertEquals("abX cdef\n", screenAfter("abcdef\r\033[2C\033[2@X"));
    assertEquals("adef\n", screenAfter("abcdef\r\033[1C\033[2P"));
    assertEquals("a   ef\n", screenAfter("abcdef\r\033[1C\033[3X"));
    String wide = screenAfter(repeat('x', 79) + "y\r\033[3@");
    assertEquals("   " + repeat('x', 77) + "\n", wide, "pushed past the margin, gone");
    // Lines inserted and deleted at the cursor's.
    assertEquals("un\n\ndeux\ntrois\n", screenAfter("un\ndeux\ntrois\033[2;3H\033[L"));
    assertEquals("un\ntrois\n", screenAfter("un\ndeux\ntrois\033[2;3H\033[M"));
    assertEquals("trois\n", screenAfter("un\ndeux\ntrois\033[1;1H\033[2M"));
    // A scroll region scrolls by itself; ESC M scrolls it back at its top.
    assertEquals("un\ntrois\nquatre\n", screenAfter("\033[2;3run\ndeux\ntrois\nquatre\033[r"));
    assertEquals("a\n\nb\nd\n", screenAfter("a\nb\nc\nd\033[2;3r\033[2;1H\033M\033[r"));
    assertEquals("a\nc\n\nd\n", screenAfter("a\nb\nc\nd\033[2;3r\033[2;1H\033[M\033[r"));
    assertEquals("x\ny\n", screenAfter("y\033[H\033M\033[Hx"));
    // Every move stops at the screen's edges.
    int columns = onEdt(canvas::grid)[0], rows = onEdt(canvas::grid)[1];
    String edges = screenAfter("\033[999Bbas\033[200CZ\033[40;1H!\033[999A\033[999D^");
    String[] lines = edges.split("\n", -1);
    assertEquals(rows + 1, lines.length, edges);
    assertEquals("^", lines[0]);
    assertEquals("!as" + repeat(' ', columns - 4) + "Z", lines[rows - 1]);
    // The alternate screen leaves the main one as it was, the cursor too.
    assertEquals(
        "avant\nprincipal\n",
        screenAfter("avant\nprin\033[?1049h\033[Halterne\nplein\033[2J\033[?1049lcipal"));
    assertFalse(shown().contains("alterne"));
    assertEquals("en haut\n", screenAfter("\033[?1049hen haut"));
    Console.out.print("\033[?1049l");
    // The caret hides and shows again.
    Console.out.print("\033[?25l");
    Console.out.flush();
    onEdt(() -> null);
    Console.out.print("\033[?25h");
  }

  // A redrawn screen is erased in place: old frames stay out of the
  // scroll-back, and what was there before them stays.
  @Test
  void aScreenRedrawnLeavesNoOldFrames() throws Exception {
    int rows = onEdt(canvas::grid)[1];
    for (int i = 1; i <= rows + 5; ++i) Console.out.println("avant " + i);
    for (int frame = 1; frame <= 500; ++frame)
      Console.out.print("\033[H\033[2Jimage " + frame + "\n" + repeat('#', frame % 70) + "\n");
    Console.out.flush();
    waitUntil("the last frame", () -> shown().contains("image 500"));
    String all = shown();
    assertTrue(all.contains("avant 5\n"), "the scroll-back is kept");
    assertFalse(all.contains("avant " + (rows + 5)), "what the screen showed is erased");
    assertFalse(all.contains("image 499"), "an old frame in the scroll-back");
    assertEquals("image 500\n" + repeat('#', 500 % 70) + "\n", screen());
    Console.out.print("\033[3J");
    Console.out.flush();
    waitUntil("the scroll-back gone", () -> !shown().contains("avant 5\n"));
    assertEquals("image 500\n" + repeat('#', 500 % 70) + "\n", screen());
  }

  // A 24-bit colour is drawn as given, not as the nearest of the 256.
  @Test
  void twentyFourBitColoursAreDrawnAsGiven() throws Exception {
    Console.out.println("\033[38;2;18;152;86mrgb\033[0m \033[48;2;250;128;114m fond \033[0m");
    waitUntil("the colours", () -> shown().contains("rgb  fond \n"));
    long line = lineHolding("rgb");
    assertEquals(new Color(18, 152, 86), colourOf(line, 1));
    assertEquals(new Color(250, 128, 114), colourOf(line, 4));
  }

  private static String repeat(char c, int n) {
    StringBuilder out = new StringBuilder();
    for (int i = 0; i < n; ++i) out.append(c);
    return out.toString();
  }

  @Test
  void twentyThousandLinesEndWithTheLastInViewAndABoundedScrollBack() throws Exception {
    for (int i = 1; i <= 20000; ++i) Console.out.println("ligne " + i);
    waitUntil("the last line", () -> shown().endsWith("\nligne 20000\n"));
    waitUntil("the last line in view", () -> onEdt(canvas::visibleText).contains("ligne 20000\n"));
    long[] lines = onEdt(canvas::lines);
    assertEquals(CanvasConsole.MAX_LINES + 1, lines[1] - lines[0] + 1);
    assertTrue(shown().startsWith("ligne 10001\n"), "10,000 lines kept, older ones dropped");
  }

  // Scrolled up, the view stays; back at the bottom, it follows again.
  @Test
  void theViewStaysWhereTheReaderScrolled() throws Exception {
    for (int i = 1; i <= 200; ++i) Console.out.println("avant " + i);
    waitUntil("the lines", () -> onEdt(canvas::visibleText).contains("avant 200\n"));
    key(KeyEvent.VK_PAGE_UP);
    chord(KeyEvent.VK_SHIFT, KeyEvent.VK_PAGE_UP);
    waitUntil("scrolled up", () -> !onEdt(canvas::following));
    String view = onEdt(canvas::visibleText);
    assertFalse(view.contains("avant 200\n"));
    for (int i = 1; i <= 300; ++i) Console.out.println("pendant " + i);
    waitUntil("the output", () -> shown().endsWith("pendant 300\n"));
    Thread.sleep(100);
    assertEquals(view, onEdt(canvas::visibleText), "the view stayed");
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_HOME);
    waitUntil("the top", () -> onEdt(canvas::visibleText).startsWith(shown().split("\n")[0]));
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_END);
    waitUntil("following again", () -> onEdt(canvas::following));
    Console.out.println("après");
    waitUntil("the new line in view", () -> onEdt(canvas::visibleText).contains("après\n"));

    // A resize keeps the prompt in view.
    Console.out.print("Invite > ");
    Rectangle bounds = onEdt(frame::getBounds);
    try {
      onEdt(
          () -> {
            frame.setSize(bounds.width - 200, bounds.height - 200);
            frame.validate();
            return null;
          });
      waitUntil("the prompt in view", () -> onEdt(canvas::visibleText).contains("Invite > "));
    } finally {
      onEdt(
          () -> {
            frame.setBounds(bounds);
            frame.validate();
            return null;
          });
    }
  }

  @Test
  void theTextZoomsWithItsKeysAndTheWheel() throws Exception {
    int normal = canvas.fontSize();
    int columns = onEdt(canvas::grid)[0];
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_EQUALS);
    waitUntil("bigger", () -> canvas.fontSize() > normal);
    assertTrue(onEdt(canvas::grid)[0] < columns, "fewer columns");
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_MINUS);
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_MINUS);
    waitUntil("smaller", () -> canvas.fontSize() < normal);
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_0);
    waitUntil("back", () -> canvas.fontSize() == normal);
    Point centre = onEdt(() -> centreOf(canvas));
    robot.mouseMove(centre.x, centre.y);
    robot.keyPress(KeyEvent.VK_CONTROL);
    robot.mouseWheel(-1);
    robot.keyRelease(KeyEvent.VK_CONTROL);
    robot.waitForIdle();
    waitUntil("bigger by the wheel", () -> canvas.fontSize() > normal);
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_0);
    waitUntil("back", () -> canvas.fontSize() == normal);
  }

  // The menu on the right button, its items and their keys.
  @Test
  void theMenuFindsClearsAndSaves() throws Exception {
    for (int i = 1; i <= 50; ++i) Console.out.println(i == 7 ? "une aiguille ici" : "foin " + i);
    waitUntil("the lines", () -> shown().endsWith("foin 50\n"));
    Point centre = onEdt(() -> centreOf(canvas));
    robot.mouseMove(centre.x, centre.y);
    robot.mousePress(InputEvent.BUTTON3_DOWN_MASK);
    robot.mouseRelease(InputEvent.BUTTON3_DOWN_MASK);
    waitUntil("the menu", () -> onEdt(frame.menu()::isShowing));
    List<String> items = new ArrayList<>();
    for (Component item : frame.menu().getComponents())
      if (item instanceof JMenuItem) items.add(((JMenuItem) item).getText());
    assertEquals(
        "[Copy, Paste, End of input, Interrupt, Select all, Find..., Find next, Find previous,"
            + " Read the line above, Read the line below, Clear, Save transcript..., Zoom in,"
            + " Zoom out, Normal size]",
        items.toString());
    key(KeyEvent.VK_ESCAPE);
    waitUntil("the menu closed", () -> !onEdt(frame.menu()::isShowing));

    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_F);
    waitUntil("the find field", () -> onEdt(frame.findField()::isFocusOwner));
    type("aiguille");
    waitUntil("the match", () -> onEdt(canvas::match) != null);
    assertEquals(lineHolding("une aiguille"), onEdt(canvas::match)[0]);
    assertEquals(4, onEdt(canvas::match)[1]);
    key(KeyEvent.VK_ESCAPE);
    waitUntil("the keys back in the text", () -> onEdt(canvas::isFocusOwner));

    // Saved: the scroll-back in UTF-8, typed lines included.
    CompletableFuture<String> line = readLine();
    type("tape");
    key(KeyEvent.VK_ENTER);
    assertEquals("tape", line.get(10, TimeUnit.SECONDS));
    Console.out.println("fin é");
    waitUntil("the last line", () -> shown().endsWith("fin é\n"));
    Path saved = Files.createTempFile("transcript", ".txt");
    frame.saveTranscript(saved);
    String transcript = new String(Files.readAllBytes(saved), StandardCharsets.UTF_8);
    Files.delete(saved);
    assertTrue(transcript.contains("une aiguille ici\n"));
    assertTrue(transcript.contains("\ntape\nfin é\n"), transcript);

    // Cleared by its item, clicked.
    robot.mouseMove(centre.x, centre.y);
    robot.mousePress(InputEvent.BUTTON3_DOWN_MASK);
    robot.mouseRelease(InputEvent.BUTTON3_DOWN_MASK);
    waitUntil("the menu", () -> onEdt(frame.menu()::isShowing));
    Point clear =
        onEdt(
            () -> {
              for (Component item : frame.menu().getComponents())
                if (item instanceof JMenuItem && ((JMenuItem) item).getText().equals("Clear"))
                  return centreOf(item);
              return null;
            });
    robot.mouseMove(clear.x, clear.y);
    robot.mousePress(InputEvent.BUTTON1_DOWN_MASK);
    robot.mouseRelease(InputEvent.BUTTON1_DOWN_MASK);
    waitUntil("cleared", () -> !shown().contains("aiguille"));
  }

  // The helpers.

  private static CompletableFuture<String> readLine() {
    return CompletableFuture.supplyAsync(Console.in::readLine);
  }

  interface Reading {
    String read() throws Exception;
  }

  private static CompletableFuture<String> supply(Reading what) {
    return CompletableFuture.supplyAsync(
        () -> {
          try {
            return what.read();
          } catch (Exception e) {
            return e.toString();
          }
        });
  }

  private static String shown() throws Exception {
    return onEdt(canvas::shownText);
  }

  /** The number of the last line of the text. */
  private static long lastLine() throws Exception {
    return onEdt(canvas::lines)[1];
  }

  /** The number of the last line starting with `text`. */
  private static long lineHolding(String text) throws Exception {
    String[] lines = shown().split("\n", -1);
    long first = onEdt(canvas::lines)[0];
    for (int i = lines.length - 1; i >= 0; --i) if (lines[i].startsWith(text)) return first + i;
    throw new AssertionError("no line starts with " + text);
  }

  /** The colour a cell's text is drawn in: the one farthest from the background in it. */
  private static Color colourOf(long line, int cell) throws Exception {
    onEdt(
        () -> {
          canvas.sync();
          canvas.paintImmediately(canvas.getVisibleRect());
          Toolkit.getDefaultToolkit().sync();
          return null;
        });
    Rectangle bounds = onEdt(() -> canvas.cellBounds(line, cell));
    assertNotNull(bounds, "the cell is out of view");
    Point origin = onEdt(canvas::getLocationOnScreen);
    BufferedImage image =
        robot.createScreenCapture(
            new Rectangle(origin.x + bounds.x, origin.y + bounds.y, bounds.width, bounds.height));
    Color background = new Color(0x1e, 0x1e, 0x1e), best = background;
    int farthest = 0;
    for (int x = 0; x < image.getWidth(); ++x)
      for (int y = 0; y < image.getHeight(); ++y) {
        Color c = new Color(image.getRGB(x, y));
        int distance =
            Math.abs(c.getRed() - background.getRed())
                + Math.abs(c.getGreen() - background.getGreen())
                + Math.abs(c.getBlue() - background.getBlue());
        if (distance > farthest) {
          farthest = distance;
          best = c;
        }
      }
    return best;
  }

  private static Point centreOf(Component component) {
    Point at = component.getLocationOnScreen();
    return new Point(at.x + component.getWidth() / 2, at.y + component.getHeight() / 2);
  }

  private static String clipboard() throws Exception {
    return onEdt(
        () -> {
          try {
            return (String) Toolkit.getDefaultToolkit().getSystemClipboard().getData(DataFlavor.stringFlavor);
          } catch (Exception e) {
            return "";
          }
        });
  }

  private static void pasteText(String text) throws Exception {
    onEdt(
        () -> {
          StringSelection selection = new StringSelection(text);
          Toolkit.getDefaultToolkit().getSystemClipboard().setContents(selection, selection);
          return null;
        });
    chord(KeyEvent.VK_CONTROL, KeyEvent.VK_V);
  }

  private static void type(String letters) {
    for (char c : letters.toCharArray()) {
      if (c == ' ') {
        key(KeyEvent.VK_SPACE);
        continue;
      }
      if (c == '!') {
        chord(KeyEvent.VK_SHIFT, KeyEvent.VK_1);
        continue;
      }
      if (c == '<') {
        chord(KeyEvent.VK_SHIFT, KeyEvent.VK_COMMA);
        continue;
      }
      boolean upper = Character.isUpperCase(c);
      int code = KeyEvent.getExtendedKeyCodeForChar(Character.toLowerCase(c));
      if (upper) chord(KeyEvent.VK_SHIFT, code);
      else key(code);
    }
  }

  /** Keys as xdotool names them: "Left", "ctrl+Left", "shift+Home". */
  private static void keys(String names) {
    for (String name : names.split(" ")) {
      String[] parts = name.split("\\+");
      int code = code(parts[parts.length - 1]);
      if (parts.length == 1) key(code);
      else chord(parts[0].equals("ctrl") ? KeyEvent.VK_CONTROL : KeyEvent.VK_SHIFT, code);
    }
  }

  private static int code(String name) {
    switch (name) {
      case "Left":
        return KeyEvent.VK_LEFT;
      case "Right":
        return KeyEvent.VK_RIGHT;
      case "Up":
        return KeyEvent.VK_UP;
      case "Down":
        return KeyEvent.VK_DOWN;
      case "Home":
        return KeyEvent.VK_HOME;
      case "End":
        return KeyEvent.VK_END;
      case "Delete":
        return KeyEvent.VK_DELETE;
      case "BackSpace":
        return KeyEvent.VK_BACK_SPACE;
      default:
        throw new IllegalArgumentException(name);
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

  /** Runs a command (within 20 s); false when it is not installed. */
  private static boolean run(String... command) throws Exception {
    List<String> limited = new ArrayList<>();
    limited.add("timeout");
    limited.add("20");
    for (String part : command) limited.add(part);
    Process process;
    try {
      process = new ProcessBuilder(limited).redirectErrorStream(true).start();
    } catch (java.io.IOException e) {
      return false;
    }
    assertTrue(process.waitFor(30, TimeUnit.SECONDS), command[0] + " hung");
    int status = process.exitValue();
    if (status == 127) return false;
    assertEquals(0, status, String.join(" ", command));
    robot.waitForIdle();
    return true;
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
