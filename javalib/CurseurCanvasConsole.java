import java.awt.Toolkit;
import java.awt.datatransfer.Clipboard;
import java.awt.datatransfer.DataFlavor;
import java.awt.datatransfer.StringSelection;
import java.awt.event.KeyEvent;
import java.awt.event.MouseEvent;
import java.util.concurrent.LinkedBlockingQueue;
import javax.swing.text.BadLocationException;

/**
 * The console's canvas with its text cursor: the line being typed sits at the
 * end, after the output, as in a terminal. Typed characters echo at the
 * cursor, Backspace edits the line, Enter hands it to the program; pasted text
 * is typed as it stands, each line end in it ending a line. Ctrl+D on an empty
 * line ends the input. Text can be selected and copied, not edited.
 *
 * <p>Every change to the text goes through this class: the keys are handled
 * here, and the text area's own ways in (typing, pasting, dropping) all end in
 * {@link #replaceSelection}, which types.
 */
public class CurseurCanvasConsole extends CanvasConsole {
  private static final long serialVersionUID = 1L;

  /** The longest line that can be typed; enough for any paste of a line. */
  public static final int MAX_INPUT = 1 << 20;

  // Identity marks the end of the input; no typed line is this object.
  private static final String END = new String("");

  private final LinkedBlockingQueue<String> lines = new LinkedBlockingQueue<>();
  private volatile boolean accepting = true;

  public CurseurCanvasConsole() {
    setEditable(true);  // so the cursor shows; the keys below are all that edits
    setTransferHandler(null);  // copy and paste are done here
    setDropTarget(null);
    enableInputMethods(false);  // composed text comes as typed characters
    setFocusTraversalKeysEnabled(false);  // Tab is typed
    enableEvents(java.awt.AWTEvent.MOUSE_EVENT_MASK);
  }

  /**
   * The next line typed, without its line end, or null once the input has
   * ended. Waits for it; any thread but the event thread.
   */
  public String takeLine() throws InterruptedException {
    java.awt.EventQueue.invokeLater(this::reveal);
    String line = lines.take();
    if (line == END) {
      lines.add(END);  // every later read ends too
      return null;
    }
    return line;
  }

  /** Typing is over: the program has ended. Any thread. */
  public void stopInput() {
    accepting = false;
  }

  @Override
  protected void processKeyEvent(KeyEvent e) {
    if (e.getID() == KeyEvent.KEY_TYPED) {
      char c = e.getKeyChar();
      boolean command = e.isControlDown() || e.isMetaDown();
      if (!command && (c >= ' ' || c == '\t') && c != KeyEvent.CHAR_UNDEFINED && c != 0x7f)
        type(String.valueOf(c));
      e.consume();
      return;
    }
    if (e.getID() != KeyEvent.KEY_PRESSED) {
      super.processKeyEvent(e);
      return;
    }
    int code = e.getKeyCode();
    boolean control = e.isControlDown() || e.isMetaDown();
    boolean shift = e.isShiftDown();
    if (code == KeyEvent.VK_ENTER) {
      type("\n");
    } else if (code == KeyEvent.VK_BACK_SPACE) {
      backspace();
    } else if ((control && code == KeyEvent.VK_V) || (shift && code == KeyEvent.VK_INSERT)) {
      paste();
    } else if ((control && code == KeyEvent.VK_C) || (control && code == KeyEvent.VK_INSERT)) {
      copy();
    } else if (control && code == KeyEvent.VK_A) {
      selectAll();
    } else if (control && code == KeyEvent.VK_D) {
      endInput();
    } else if (isNavigation(code)) {
      super.processKeyEvent(e);  // moves the cursor or the view, selects
      return;
    }
    e.consume();
  }

  private static boolean isNavigation(int code) {
    switch (code) {
      case KeyEvent.VK_UP:
      case KeyEvent.VK_DOWN:
      case KeyEvent.VK_LEFT:
      case KeyEvent.VK_RIGHT:
      case KeyEvent.VK_PAGE_UP:
      case KeyEvent.VK_PAGE_DOWN:
      case KeyEvent.VK_HOME:
      case KeyEvent.VK_END:
      case KeyEvent.VK_SHIFT:
      case KeyEvent.VK_CONTROL:
        return true;
      default:
        return false;
    }
  }

  @Override
  protected void processMouseEvent(MouseEvent e) {
    // The middle button pastes X's selection, as terminals do.
    if (e.getID() == MouseEvent.MOUSE_CLICKED && e.getButton() == MouseEvent.BUTTON2) {
      Clipboard selection = Toolkit.getDefaultToolkit().getSystemSelection();
      if (selection != null) paste(selection);
      e.consume();
      return;
    }
    super.processMouseEvent(e);
  }

  /** Whatever way text comes in, it is typed at the end. */
  @Override
  public void replaceSelection(String content) {
    if (content != null) type(content);
  }

  @Override
  public void paste() {
    paste(Toolkit.getDefaultToolkit().getSystemClipboard());
  }

  private void paste(Clipboard clipboard) {
    try {
      Object text = clipboard.getData(DataFlavor.stringFlavor);
      if (text != null) type(text.toString());
    } catch (Exception e) {
      // Nothing usable on the clipboard (or it is busy): nothing to type.
      Toolkit.getDefaultToolkit().beep();
    }
  }

  @Override
  public void copy() {
    String text = getSelectedText();
    if (text == null) return;
    StringSelection selection = new StringSelection(text);
    Toolkit.getDefaultToolkit().getSystemClipboard().setContents(selection, selection);
  }

  @Override
  public void cut() {
    copy();  // the text is not the reader's to edit
  }

  /** Types `text` at the end, each line end in it (CR LF, LF or CR) ending a line. */
  public void type(String text) {
    if (!accepting) return;
    int start = 0;
    for (int i = 0; i < text.length(); ++i) {
      char c = text.charAt(i);
      if (c != '\n' && c != '\r') continue;
      insert(text.substring(start, i));
      submit();
      if (c == '\r' && i + 1 < text.length() && text.charAt(i + 1) == '\n') ++i;
      start = i + 1;
    }
    insert(text.substring(start));
  }

  private void insert(String text) {
    StringBuilder kept = new StringBuilder(text.length());
    for (int i = 0; i < text.length(); ++i) {
      char c = text.charAt(i);
      if (c >= ' ' || c == '\t') kept.append(c);
    }
    int room = MAX_INPUT - (getDocument().getLength() - inputStart);
    if (kept.length() > room) {
      kept.setLength(Math.max(room, 0));
      Toolkit.getDefaultToolkit().beep();
    }
    if (kept.length() == 0) return;
    try {
      getDocument().insertString(getDocument().getLength(), kept.toString(), null);
    } catch (BadLocationException e) {
      throw new IllegalStateException(e);
    }
    setCaretPosition(getDocument().getLength());
  }

  private void submit() {
    try {
      int end = getDocument().getLength();
      String line = getDocument().getText(inputStart, end - inputStart);
      getDocument().insertString(end, "\n", null);
      inputStart = getDocument().getLength();
      lines.add(line);
      trim();
    } catch (BadLocationException e) {
      throw new IllegalStateException(e);
    }
    setCaretPosition(getDocument().getLength());
  }

  private void backspace() {
    int end = getDocument().getLength();
    if (!accepting || end == inputStart) return;
    try {
      String last = getDocument().getText(end - 1, 1);
      // A character outside the BMP is two chars: both go.
      int count = Character.isLowSurrogate(last.charAt(0)) && end - 2 >= inputStart ? 2 : 1;
      getDocument().remove(end - count, count);
    } catch (BadLocationException e) {
      throw new IllegalStateException(e);
    }
    setCaretPosition(getDocument().getLength());
  }

  private void endInput() {
    if (accepting && getDocument().getLength() == inputStart) lines.add(END);
  }
}
