import java.awt.EventQueue;
import java.awt.SecondaryLoop;
import java.awt.Toolkit;
import java.awt.datatransfer.Clipboard;
import java.awt.datatransfer.DataFlavor;
import java.awt.event.KeyEvent;
import java.io.IOException;
import java.io.InputStream;
import java.nio.ByteBuffer;
import java.nio.CharBuffer;
import java.nio.charset.Charset;
import java.nio.charset.CharsetEncoder;
import java.nio.charset.CodingErrorAction;
import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.List;

/**
 * What is typed: the line being edited at the cursor, as a shell's line
 * editor edits it, the lines typed earlier to recall, and the lines ended
 * with Enter, waiting for the program.
 *
 * <p>The line is edited where its caret is: Left, Right, Home, End,
 * Backspace and Delete act inside it, Ctrl with Left or Right by words,
 * typing inserts at the caret or replaces the selection, Up and Down recall
 * earlier lines. Output never changes it; the program reads exactly the line
 * shown. Pasted text is typed, each line end in it ending a line, a little
 * at a time so that the window keeps answering.
 *
 * <p>The lines ended wait in one queue for whoever asks first: Console.in
 * (see ConsoleReader) takes them as lines, and this stream, which becomes
 * System.in, hands them out as bytes in the charset readers use by default.
 * When the program runs in a process of its own, the window's sends them
 * down a pipe, and the program's queues them as they come.
 */
public class CurseurCanvasConsole extends InputStream {
  /** The longest line that can be typed; enough for any paste of a line. */
  public static final int MAX_INPUT = 1 << 20;
  /** Pasted text typed in one turn of the event queue. */
  private static final int PASTE_CHUNK = 1 << 16;

  // Identity marks the end of the input; no typed line is this object.
  private static final String END = new String("");
  private static final String EOT = "\u0004";
  /** A terminal's status for a program whose terminal went away. */
  private static final int HANGUP = 129;

  private final CanvasConsole canvas;

  // The line being edited, event thread only.
  private final StringBuilder line = new StringBuilder();
  private int caret;
  private int anchor;  // the selection's other end; caret when there is none
  private final List<String> history = new ArrayList<>();
  private int recalled;  // into history; its size while editing a new line
  private String draft = "";
  private final StringBuilder pasting = new StringBuilder();
  private boolean accepting = true;
  private boolean endedByCtrlZ;  // the last key ended the input with Ctrl+Z
  // A password is being read: what is typed is neither shown nor kept.
  private volatile boolean hidden;

  // The lines ended, for whoever asks first.
  private final ArrayDeque<String> lines = new ArrayDeque<>();
  private SecondaryLoop waiting;  // the event thread itself waiting for a line

  // The bytes of the line System.in is handing out.
  private final Charset charset = Charset.defaultCharset();
  private byte[] bytes = new byte[0];
  private int bytesAt;

  public CurseurCanvasConsole(CanvasConsole canvas) {
    this.canvas = canvas;
  }

  /**
   * In a program's process whose window is another's: the lines that window
   * sends on `from`, as they are typed there.
   */
  static CurseurCanvasConsole fromWindow(InputStream from) {
    CurseurCanvasConsole typed = new CurseurCanvasConsole(null);
    FrameConsole.daemon(
        "Console input",
        () -> {
          try {
            java.io.BufferedReader lines =
                new java.io.BufferedReader(
                    new java.io.InputStreamReader(from, java.nio.charset.StandardCharsets.UTF_8));
            for (String line; (line = lines.readLine()) != null; )
              typed.offer(line.equals(EOT) ? END : line);
          } catch (IOException e) {
            return;  // the program closed its standard input itself
          }
          // The window has gone: as a terminal's program when its terminal
          // closes, the program ends.
          System.exit(HANGUP);
        });
    return typed;
  }

  /**
   * In the window's process: the lines typed go to the program's, on `to`,
   * in UTF-8, the end of input as a line of EOT alone. A thread of its own
   * writes them, so that typing never waits for the program to read.
   */
  void forwardTo(java.io.OutputStream to) {
    FrameConsole.daemon(
        "Console input",
        () -> {
          try {
            for (; ; ) {
              String next;
              synchronized (lines) {
                while (lines.isEmpty()) lines.wait();
                next = lines.poll();
              }
              String line = (next == END ? EOT : next) + "\n";
              to.write(line.getBytes(java.nio.charset.StandardCharsets.UTF_8));
              to.flush();
            }
          } catch (IOException | InterruptedException e) {
            // The program has ended: nobody reads.
          }
        });
  }

  // ---------------------------------------------------------------------
  // The lines ended, any thread.

  /**
   * The next line typed, without its line end, or null once the input has
   * ended. Waits for it; on the event thread, events go on meanwhile.
   */
  public String takeLine() throws InterruptedException {
    // A prompt printed without a line end shows before the wait.
    if (canvas != null) {
      canvas.flushTails(true);
      canvas.revealSoon();
    } else {
      System.out.flush();
    }
    String next;
    if (canvas != null && EventQueue.isDispatchThread()) {
      next = takeOnEventThread();
    } else {
      synchronized (lines) {
        while (lines.isEmpty()) lines.wait();
        next = lines.poll();
      }
    }
    // The end of input ends the read that meets it; the next waits for
    // new lines, as on a terminal.
    return next == END ? null : next;
  }

  private String takeOnEventThread() {
    for (; ; ) {
      SecondaryLoop loop;
      synchronized (lines) {
        if (!lines.isEmpty()) return lines.poll();
        loop = Toolkit.getDefaultToolkit().getSystemEventQueue().createSecondaryLoop();
        waiting = loop;
      }
      loop.enter();
    }
  }

  private void offer(String text) {
    SecondaryLoop loop;
    synchronized (lines) {
      lines.add(text);
      lines.notifyAll();
      loop = waiting;
      waiting = null;
    }
    if (loop != null) loop.exit();
  }

  /**
   * While on, the line typed shows nothing of itself, is not echoed when it
   * ends and stays out of the history, as a terminal reads a password. Any
   * thread.
   */
  public void hiding(boolean on) {
    if (canvas == null) {
      ConsolePrinter.tell(on ? "h1" : "h0");
      return;
    }
    hidden = on;
    EventQueue.invokeLater(this::show);
  }

  /** How many lines ended wait for the program. Any thread. */
  public int waiting() {
    synchronized (lines) {
      return lines.size();
    }
  }

  /** Typing is over: the program has ended. Event thread. */
  public void stopInput() {
    accepting = false;
    line.setLength(0);
    caret = anchor = 0;
    pasting.setLength(0);
    show();
  }

  // ---------------------------------------------------------------------
  // System.in: the lines as bytes.

  @Override
  public int read() throws IOException {
    byte[] one = new byte[1];
    return read(one, 0, 1) < 0 ? -1 : one[0] & 0xff;
  }

  /**
   * Hands out at most the rest of the line begun; when none is left, waits
   * for the next line (holding no lock meanwhile, so that available() and
   * other readers go on).
   */
  @Override
  public int read(byte[] buffer, int offset, int size) throws IOException {
    if (offset < 0 || size < 0 || size > buffer.length - offset)
      throw new IndexOutOfBoundsException();
    if (size == 0) return 0;
    synchronized (this) {
      if (bytesAt < bytes.length) return handOut(buffer, offset, size);
    }
    String next;
    try {
      next = takeLine();
    } catch (InterruptedException e) {
      Thread.currentThread().interrupt();
      throw new java.io.InterruptedIOException("interrupted while waiting for a line");
    }
    synchronized (this) {
      if (next == null) {
        if (bytesAt == bytes.length) return -1;
      } else {
        // Another reader may have begun a line meanwhile: this one comes after.
        byte[] more = encode(next + System.lineSeparator());
        byte[] joined = java.util.Arrays.copyOfRange(bytes, bytesAt, bytes.length + more.length);
        System.arraycopy(more, 0, joined, bytes.length - bytesAt, more.length);
        bytes = joined;
        bytesAt = 0;
      }
      return handOut(buffer, offset, size);
    }
  }

  private int handOut(byte[] buffer, int offset, int size) {
    int n = Math.min(size, bytes.length - bytesAt);
    System.arraycopy(bytes, bytesAt, buffer, offset, n);
    bytesAt += n;
    return n;
  }

  /** What is left of the line begun, and the lines typed that wait, as a terminal counts them. */
  @Override
  public int available() {
    int left;
    synchronized (this) {
      left = bytes.length - bytesAt;
    }
    synchronized (lines) {
      for (String waiting : lines) {
        if (waiting == END) break;
        left += encode(waiting + System.lineSeparator()).length;
      }
    }
    return left;
  }

  /** The console's input lasts as long as the program: closing it ends nothing. */
  @Override
  public void close() {}

  private byte[] encode(String text) {
    try {
      CharsetEncoder encoder =
          charset
              .newEncoder()
              .onMalformedInput(CodingErrorAction.REPLACE)
              .onUnmappableCharacter(CodingErrorAction.REPLACE);
      ByteBuffer encoded = encoder.encode(CharBuffer.wrap(text));
      byte[] out = new byte[encoded.remaining()];
      encoded.get(out);
      return out;
    } catch (java.nio.charset.CharacterCodingException e) {
      return text.getBytes(charset);
    }
  }

  // ---------------------------------------------------------------------
  // The keys. Event thread.

  /** A key for the line editor; consumed when it is one. */
  public void key(KeyEvent e) {
    if (e.getID() == KeyEvent.KEY_TYPED) {
      char c = e.getKeyChar();
      // AltGr is Ctrl+Alt on Windows: what it types is typed.
      boolean command = (e.isControlDown() && !e.isAltDown()) || e.isMetaDown();
      if (!command && (c >= ' ' || c == '\t') && c != KeyEvent.CHAR_UNDEFINED && c != 0x7f)
        type(String.valueOf(c));
      e.consume();
      return;
    }
    if (e.getID() != KeyEvent.KEY_PRESSED) return;
    boolean control = e.isControlDown() || e.isMetaDown();
    boolean shift = e.isShiftDown();
    boolean afterCtrlZ = endedByCtrlZ;
    int code = e.getKeyCode();
    if (code != KeyEvent.VK_CONTROL && code != KeyEvent.VK_SHIFT && code != KeyEvent.VK_ALT)
      endedByCtrlZ = false;
    switch (code) {
      case KeyEvent.VK_ENTER:
        // Windows' Ctrl+Z is followed by Enter: that Enter is part of it.
        if (!(afterCtrlZ && line.length() == 0)) type("\n");
        break;
      case KeyEvent.VK_BACK_SPACE:
        erase(-1, control);
        break;
      case KeyEvent.VK_DELETE:
        erase(1, control);
        break;
      case KeyEvent.VK_LEFT:
      case KeyEvent.VK_KP_LEFT:
        moveTo(control ? wordBefore(caret) : before(caret), shift);
        break;
      case KeyEvent.VK_RIGHT:
      case KeyEvent.VK_KP_RIGHT:
        moveTo(control ? wordAfter(caret) : after(caret), shift);
        break;
      case KeyEvent.VK_HOME:
        if (control) return;  // the view's
        moveTo(0, shift);
        break;
      case KeyEvent.VK_END:
        if (control) return;
        moveTo(line.length(), shift);
        break;
      case KeyEvent.VK_UP:
      case KeyEvent.VK_KP_UP:
        if (shift || control) return;
        recall(-1);
        break;
      case KeyEvent.VK_DOWN:
      case KeyEvent.VK_KP_DOWN:
        if (shift || control) return;
        recall(1);
        break;
      case KeyEvent.VK_D:
      case KeyEvent.VK_Z:  // Windows' end of input
        if (!control) return;
        endedByCtrlZ = code == KeyEvent.VK_Z && line.length() == 0;
        endInput();
        break;
      case KeyEvent.VK_ESCAPE:
        anchor = caret;
        show();
        break;
      default:
        return;
    }
    e.consume();
  }

  private void moveTo(int where, boolean extend) {
    caret = Math.max(0, Math.min(where, line.length()));
    if (!extend) anchor = caret;
    canvas.scrollToBottom();
    show();
  }

  /** Backspace (towards -1) or Delete: the selection, else a character or a word. */
  private void erase(int towards, boolean word) {
    if (!accepting) return;
    if (anchor == caret) {
      int other =
          towards < 0 ? (word ? wordBefore(caret) : before(caret)) : (word ? wordAfter(caret) : after(caret));
      anchor = other;
    }
    replaceSelection("");
    show();
  }

  /** Where a caret goes one character back or on, a pair of surrogates being one. */
  private int before(int at) {
    if (at <= 0) return 0;
    return at >= 2 && Character.isLowSurrogate(line.charAt(at - 1))
            && Character.isHighSurrogate(line.charAt(at - 2))
        ? at - 2
        : at - 1;
  }

  private int after(int at) {
    if (at >= line.length()) return line.length();
    return at + 1 < line.length() && Character.isHighSurrogate(line.charAt(at))
            && Character.isLowSurrogate(line.charAt(at + 1))
        ? at + 2
        : at + 1;
  }

  private int wordBefore(int at) {
    while (at > 0 && !Character.isLetterOrDigit(line.charAt(at - 1))) --at;
    while (at > 0 && Character.isLetterOrDigit(line.charAt(at - 1))) --at;
    return at;
  }

  private int wordAfter(int at) {
    while (at < line.length() && !Character.isLetterOrDigit(line.charAt(at))) ++at;
    while (at < line.length() && Character.isLetterOrDigit(line.charAt(at))) ++at;
    return at;
  }

  /** Up (-1) and Down (1) through the lines typed before; past the newest, the draft. */
  private void recall(int step) {
    if (!accepting) return;
    int to = recalled + step;
    if (to < 0 || to > history.size()) {
      Toolkit.getDefaultToolkit().beep();
      return;
    }
    if (recalled == history.size()) draft = line.toString();
    recalled = to;
    line.setLength(0);
    line.append(to == history.size() ? draft : history.get(to));
    caret = anchor = line.length();
    canvas.scrollToBottom();
    show();
  }

  /** Selects chars [from, to) of the typed line. */
  public void select(int from, int to) {
    anchor = Math.max(0, Math.min(from, line.length()));
    caret = Math.max(0, Math.min(to, line.length()));
    show();
  }

  /** What is selected of the line being typed, or null when nothing is. */
  public String selectedText() {
    return caret == anchor || hidden ? null
                           : line.substring(Math.min(caret, anchor), Math.max(caret, anchor));
  }

  // ---------------------------------------------------------------------
  // Typing, pasting.

  /**
   * Types `text` at the caret, each line end in it (CR LF, LF or CR) ending
   * a line. A long text is typed a chunk per turn of the event queue, and
   * what is typed meanwhile comes after it.
   */
  public void type(String text) {
    if (!accepting || text.isEmpty()) return;
    boolean idle = pasting.length() == 0;
    pasting.append(text);
    if (idle) typeSome();
  }

  private void typeSome() {
    if (!accepting) return;
    int end = Math.min(pasting.length(), PASTE_CHUNK);
    // Never split a CR LF pair between two turns.
    if (end < pasting.length() && pasting.charAt(end - 1) == '\r') ++end;
    String some = pasting.substring(0, end);
    int start = 0;
    for (int i = 0; i < some.length(); ++i) {
      char c = some.charAt(i);
      if (c != '\n' && c != '\r') continue;
      insert(some.substring(start, i));
      submit();
      if (c == '\r' && i + 1 < some.length() && some.charAt(i + 1) == '\n') ++i;
      start = i + 1;
    }
    insert(some.substring(start));
    pasting.delete(0, end);
    show();
    if (pasting.length() > 0) EventQueue.invokeLater(this::typeSome);
  }

  /** Pastes the clipboard's text. */
  public void paste() {
    pasteFrom(Toolkit.getDefaultToolkit().getSystemClipboard());
  }

  void pasteFrom(Clipboard clipboard) {
    if (clipboard == null) return;
    try {
      Object text = clipboard.getData(DataFlavor.stringFlavor);
      if (text != null) type(text.toString());
    } catch (Exception e) {
      // Nothing usable on the clipboard (or it is busy): nothing to type.
      Toolkit.getDefaultToolkit().beep();
    }
  }

  private void insert(String text) {
    StringBuilder kept = new StringBuilder(text.length());
    for (int i = 0; i < text.length(); ++i) {
      char c = text.charAt(i);
      if (c >= ' ' || c == '\t') kept.append(c);
    }
    if (kept.length() == 0 && anchor == caret) return;
    replaceSelection(kept.toString());
  }

  /** The selection, or nothing at the caret, replaced by `text`, as far as there is room. */
  private void replaceSelection(String text) {
    int from = Math.min(anchor, caret), to = Math.max(anchor, caret);
    int room = MAX_INPUT - (line.length() - (to - from));
    if (text.length() > room) {
      text = text.substring(0, Math.max(room, 0));
      Toolkit.getDefaultToolkit().beep();
    }
    line.replace(from, to, text);
    caret = anchor = from + text.length();
    recalled = history.size();
    canvas.scrollToBottom();
  }

  /** Enter: the line goes into the text, in the input's colour, and to the program. */
  private void submit() {
    String typed = line.toString();
    line.setLength(0);
    caret = anchor = 0;
    boolean secret = hidden;
    if (!secret
        && !typed.isEmpty()
        && (history.isEmpty() || !history.get(history.size() - 1).equals(typed)))
      history.add(typed);
    recalled = history.size();
    draft = "";
    canvas.lock.lock();
    try {
      canvas.setInput("", 0, 0, 0, accepting);
      char[] chars = secret ? new char[0] : typed.toCharArray();
      int from = 0;
      for (int i = 0; i <= chars.length; ++i) {
        if (i < chars.length && chars[i] != '\t') continue;
        canvas.put(chars, from, i, CanvasConsole.PLAIN | CanvasConsole.INPUT);
        if (i < chars.length) canvas.tab();
        from = i + 1;
      }
      canvas.lineFeed();
    } finally {
      canvas.lock.unlock();
    }
    offer(typed);
  }

  /** Ctrl+D or Ctrl+Z on an empty line: the read that waits gets the end of input. */
  public void endInput() {
    if (accepting && line.length() == 0) offer(END);
  }

  /** The line as it is now, onto the canvas. */
  private void show() {
    canvas.lock.lock();
    try {
      if (hidden) canvas.setInput("", 0, 0, 0, accepting);
      else canvas.setInput(line.toString(), caret, anchor, caret, accepting);
    } finally {
      canvas.lock.unlock();
    }
    canvas.sync();
  }
}
