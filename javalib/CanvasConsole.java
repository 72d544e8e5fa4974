import java.awt.Color;
import java.awt.EventQueue;
import java.awt.Font;
import java.awt.Insets;
import java.awt.Window;
import javax.swing.JTextArea;
import javax.swing.SwingUtilities;
import javax.swing.text.BadLocationException;
import javax.swing.text.Document;
import javax.swing.text.Element;

/**
 * The console's text: what the program printed, in a monospaced area of 80
 * columns and 25 rows to start, long lines wrapped as a terminal wraps them.
 *
 * <p>Output may come from any thread. It is gathered in one buffer and shown in
 * batches on the event thread, one batch per turn of the event queue whatever
 * the number of prints, so a program printing fast never floods the window
 * with events. A printer that runs far ahead waits for the window to catch up,
 * and the scroll-back keeps the last {@link #MAX_LINES} lines within
 * {@link #MAX_CHARS} characters: memory stays bounded whatever is printed.
 */
public class CanvasConsole extends JTextArea {
  private static final long serialVersionUID = 1L;

  /** Lines of scroll-back kept. */
  public static final int MAX_LINES = 10000;
  /** Characters of scroll-back kept, whatever the length of the lines. */
  public static final int MAX_CHARS = 4000000;
  /** Output waiting for the event thread beyond which a printer waits. */
  private static final int MAX_PENDING = 1 << 20;

  private final Object lock = new Object();
  private final StringBuilder pending = new StringBuilder();
  private boolean scheduled;

  /** Where the line being typed starts; output goes in before it. Event thread only. */
  protected int inputStart;

  public CanvasConsole() {
    super(25, 80);
    setFont(new Font(Font.MONOSPACED, Font.PLAIN, 14));
    setLineWrap(true);
    setMargin(new Insets(4, 6, 4, 6));
    setBackground(new Color(0x1e, 0x1e, 0x1e));
    setForeground(new Color(0xe0, 0xe0, 0xe0));
    setCaretColor(Color.WHITE);
    setSelectionColor(new Color(0x26, 0x4f, 0x78));
    setSelectedTextColor(Color.WHITE);
  }

  /** Shows `text` after everything printed before it; any thread. */
  public void output(CharSequence text) {
    if (text.length() == 0) return;
    if (EventQueue.isDispatchThread()) {
      // The event thread cannot wait for itself: its own output shows at once.
      synchronized (lock) {
        pending.append(text);
      }
      drain();
      return;
    }
    synchronized (lock) {
      // Waits for the window to catch up, but not for ever: the event thread
      // may itself be waiting for a lock this printer's caller holds.
      long deadline = System.nanoTime() + 1000000000L;
      long left;
      while (scheduled && pending.length() >= MAX_PENDING
          && (left = deadline - System.nanoTime()) > 0) {
        try {
          lock.wait(left / 1000000 + 1);
        } catch (InterruptedException e) {
          Thread.currentThread().interrupt();
          break;
        }
      }
      pending.append(text);
      // What the scroll-back could not hold need not wait either.
      if (pending.length() > MAX_CHARS) pending.delete(0, pending.length() - MAX_CHARS);
      if (scheduled) return;
      scheduled = true;
    }
    EventQueue.invokeLater(this::drain);
  }

  /** Moves what was printed onto the screen. Event thread. */
  private void drain() {
    String text;
    synchronized (lock) {
      text = lastLines(pending);
      pending.setLength(0);
      scheduled = false;
      lock.notifyAll();
    }
    if (text.isEmpty()) return;
    reveal();
    try {
      getDocument().insertString(inputStart, text, null);
      inputStart += text.length();
      trim();
    } catch (BadLocationException e) {
      throw new IllegalStateException(e);
    }
    followEnd();
  }

  /** The part of `text` that the scroll-back would keep anyway. */
  private static String lastLines(StringBuilder text) {
    int from = text.length();
    for (int lines = 0; from > 0 && lines <= MAX_LINES; ) {
      if (text.charAt(--from) == '\n') ++lines;
    }
    if (text.length() - from > MAX_CHARS) from = text.length() - MAX_CHARS;
    return text.substring(from);
  }

  /** Drops the oldest lines beyond the scroll-back's bounds. Event thread. */
  protected void trim() throws BadLocationException {
    Document document = getDocument();
    Element root = document.getDefaultRootElement();
    int cut = 0;
    // The last element is the line still being written: MAX_LINES ended lines stay before it.
    int excess = root.getElementCount() - 1 - MAX_LINES;
    if (excess > 0) cut = root.getElement(excess - 1).getEndOffset();
    cut = Math.min(Math.max(cut, document.getLength() - MAX_CHARS), inputStart);
    if (cut <= 0) return;
    document.remove(0, cut);
    inputStart -= cut;
  }

  /** Keeps the end in view, unless the reader is selecting text to copy. */
  protected void followEnd() {
    if (getSelectionStart() == getSelectionEnd()) setCaretPosition(getDocument().getLength());
  }

  /**
   * Shows the window holding this canvas, the first time there is something
   * to see: a program that never prints or reads opens no window. Event thread.
   */
  protected void reveal() {
    Window window = SwingUtilities.getWindowAncestor(this);
    if (window == null || window.isVisible()) return;
    window.pack();
    window.setLocationRelativeTo(null);
    window.setVisible(true);
    requestFocusInWindow();
  }

  /** The text shown, the line being typed included. Event thread. */
  public String shownText() {
    try {
      return getDocument().getText(0, getDocument().getLength());
    } catch (BadLocationException e) {
      throw new IllegalStateException(e);
    }
  }
}
