import java.awt.Color;
import java.awt.Dimension;
import java.awt.EventQueue;
import java.awt.Font;
import java.awt.FontMetrics;
import java.awt.Graphics;
import java.awt.Graphics2D;
import java.awt.Point;
import java.awt.Rectangle;
import java.awt.RenderingHints;
import java.awt.Toolkit;
import java.awt.event.MouseEvent;
import java.awt.event.MouseWheelEvent;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.locks.ReentrantLock;
import java.util.function.Consumer;
import javax.accessibility.Accessible;
import javax.accessibility.AccessibleContext;
import javax.swing.JComponent;
import javax.swing.JTextArea;
import javax.swing.JScrollBar;
import javax.swing.SwingUtilities;

/**
 * The console's text and its drawing: lines of styled characters, the
 * scroll-back, and the view that paints them, as a terminal's screen.
 *
 * <p>The text is a ring of at most {@link #MAX_LINES} lines and
 * {@link #MAX_CHARS} characters, the oldest dropped first, so memory stays
 * bounded whatever is printed. A character takes a cell (a wide one two); a
 * line wraps at the view's width when it is painted, so a resize or a zoom
 * rewraps everything. The printers (see ConsolePrinter) change the text from
 * any thread, holding {@link #lock}, through the operations below: put
 * characters at the cursor, move it, erase. The view takes the lock only to
 * copy the rows it paints, and the lock is fair, so no printer can keep the
 * window from answering.
 *
 * <p>The line being typed is not part of the text: it is shown over it at
 * the cursor (see CurseurCanvasConsole) until Enter commits it.
 *
 * <p>Scrolling respects the reader: while the view is at the bottom it
 * follows the output; scrolled up, it stays where it is.
 *
 * <p>Screen readers read it as a text: a text area of no size, never seen,
 * mirrors the scroll-back and the line typed, and lends its accessible
 * context, with its caret at the typed line's and the events a text fires.
 */
public class CanvasConsole extends JComponent implements Accessible {
  private static final long serialVersionUID = 1L;

  /** Lines of scroll-back kept. */
  public static final int MAX_LINES = 10000;
  /**
   * Characters of scroll-back kept, whatever the length of the lines: four
   * million, or fewer in a Java given little memory (-Xmx16m keeps 256 K),
   * a character costing up to some 60 bytes with its style and copies.
   */
  public static final int MAX_CHARS =
      (int) Math.min(4_000_000, Math.max(65_536, Runtime.getRuntime().maxMemory() / 64));

  // A style is an int: foreground and background (0-255 of the 256
  // colours, or DEFAULT_COLOUR), bold, underline, inverse, and who wrote
  // it, which decides the default colours.
  static final int DEFAULT_COLOUR = 256;
  static final int BG_SHIFT = 9;
  static final int BOLD = 1 << 18;
  static final int UNDERLINE = 1 << 19;
  static final int INVERSE = 1 << 20;
  static final int OUTPUT = 0;
  static final int INPUT = 1 << 21;
  static final int ERROR = 2 << 21;
  static final int NOTICE = 3 << 21;
  static final int KIND = 3 << 21;
  static final int PLAIN = DEFAULT_COLOUR | (DEFAULT_COLOUR << BG_SHIFT);

  /** Wide characters take two cells: the second holds this, never drawn. */
  static final char FILLER = '\0';
  /** The last column's cell left blank by a wide character that went whole to the next row. */
  static final char PAD = '\uffff';

  static final int TAB = 8;
  private static final int CAPACITY = MAX_LINES + 2;
  private static final int MIN_FONT = 6;
  private static final int MAX_FONT = 72;
  private static final int DEFAULT_FONT = 14;
  private static final int MARGIN_X = 6;
  private static final int MARGIN_Y = 4;

  private static final Color BACKGROUND = new Color(0x1e, 0x1e, 0x1e);
  private static final Color FOREGROUND = new Color(0xe0, 0xe0, 0xe0);
  private static final Color INPUT_COLOUR = new Color(0x8a, 0xe2, 0x34);
  private static final Color ERROR_COLOUR = new Color(0xf1, 0x4c, 0x4c);
  private static final Color NOTICE_COLOUR = new Color(0x9a, 0x9a, 0x9a);
  private static final Color SELECTION = new Color(0x26, 0x4f, 0x78);
  private static final Color MATCH = new Color(0xf0, 0xc6, 0x74);
  private static final Color[] PALETTE = palette();
  // The 24-bit colours met, by style index above DEFAULT_COLOUR; shared
  // by every style, so kept once for the program.
  private static final Color[] TRUE_COLOURS = new Color[0x1ff - DEFAULT_COLOUR];
  private static int trueColours;

  /** Held by whoever reads or changes the text. Fair: the view gets its turn. */
  final ReentrantLock lock = new ReentrantLock(true);

  // The text: lines by absolute number, first to first + count - 1, in a ring.
  private final char[][] text = new char[CAPACITY][];
  private final int[] length = new int[CAPACITY];
  private final int[][] styles = new int[CAPACITY][];  // null: every cell in uniform[]
  private final int[] uniform = new int[CAPACITY];
  private final int[] rows = new int[CAPACITY];  // rows at the view's width
  private final long[] rowStart = new long[CAPACITY];  // absolute row of its first
  private long first;
  private int count = 1;
  private long charCount;
  // Where output goes, and where the screen starts since it was last cleared.
  private long cursorLine;
  private int cursorCol;
  private long screenLine;
  // The main screen while the alternate one shows (from altStart on): its
  // lines, and the cursor's row and column on it.
  private long altStart = -1;
  private final List<Object[]> mainScreen = new ArrayList<>();
  private int mainRow;
  private int mainCol;
  private boolean caretShown = true;
  // The rows of the screen lines scroll within (ESC[t;br), from 0; -1 for
  // the whole screen.
  private int regionTop;
  private int regionBottom = -1;
  // The line being typed, shown at the cursor: its text, where each of its
  // chars starts in cells from the cursor (and where it ends, last), its
  // caret and selection as char indices, and whether it shows at all.
  private String typed = "";
  private int[] typedCells = {0};
  private int inputCells;
  private int typedCaret;
  private int typedFrom;
  private int typedTo;
  private boolean inputShown = true;
  // The view's size in cells, which the text wraps to.
  private int columns = 80;
  private int screenRows = 25;
  // What has changed since the view last looked.
  private boolean changed;
  private long bells;

  // The view, event thread only: the first row shown, and whether it
  // follows the output.
  private long top;
  private boolean follow = true;
  private final JScrollBar scrollBar = new JScrollBar(JScrollBar.VERTICAL);
  private boolean adjusting;
  private Font font;
  private Font boldFont;
  // Whether each Latin-1 glyph of the font, and of its bold face, takes one
  // cell; measured at the first paint after the font changes.
  private boolean[] plainFixed;
  private boolean[] boldFixed;
  private int fontSize = DEFAULT_FONT;
  private int cellWidth;
  private int cellHeight;
  private int ascent;
  // Selections, in (line, cell): the reader's, and the match found.
  private long anchorLine = -1;
  private int anchorCell;
  private long headLine = -1;
  private int headCell;
  private long matchLine = -1;
  private int matchCell;
  private int matchLength;

  // The mirror that screen readers read (see getAccessibleContext): the
  // first line it holds and the length of each; the first line changed
  // since it looked; the line reviewed with Alt+Up and Alt+Down.
  private JTextArea mirror;
  private final javax.swing.Timer mirrorTimer = new javax.swing.Timer(50, e -> syncMirror());
  private long mirrorFirst;
  private final List<Integer> mirrorLengths = new ArrayList<>();
  private long dirtyLine;
  private long reviewLine = -1;

  private final Object scheduled = new Object();
  private boolean syncPending;
  private java.awt.event.InvocationEvent syncEvent;
  // What one thread changes between hold() and release() is one change: a
  // read of the program's output, a frame of a game, is painted once.
  private Thread holder;
  private boolean changeHeld;
  private boolean tailHeld;
  private boolean flushPending;

  private CurseurCanvasConsole input;
  private Runnable reveal = () -> {};
  private Consumer<java.awt.event.KeyEvent> keys = e -> {};
  private final List<ConsolePrinter> printers = new ArrayList<>();
  private javax.swing.Timer tails;

  public CanvasConsole() {
    text[0] = new char[16];
    uniform[0] = PLAIN;
    rows[0] = 1;
    setOpaque(true);
    setBackground(BACKGROUND);
    setForeground(FOREGROUND);
    setFocusable(true);
    setFocusTraversalKeysEnabled(false);  // Tab is typed
    setCursor(java.awt.Cursor.getPredefinedCursor(java.awt.Cursor.TEXT_CURSOR));
    enableEvents(
        java.awt.AWTEvent.MOUSE_EVENT_MASK
            | java.awt.AWTEvent.MOUSE_MOTION_EVENT_MASK
            | java.awt.AWTEvent.MOUSE_WHEEL_EVENT_MASK
            | java.awt.AWTEvent.KEY_EVENT_MASK);
    enableInputMethods(true);  // dead keys and compose: committed text comes as typed keys
    setFontSize(DEFAULT_FONT);
    scrollBar.setUnitIncrement(1);
    scrollBar.addAdjustmentListener(
        e -> {
          if (!adjusting) scrolledTo(e.getValue());
        });
    scrollBar.setFocusable(false);
    mirrorTimer.setRepeats(false);
  }

  // ---------------------------------------------------------------------
  // Wiring, done once by the window.

  /** The line being typed, shown at the cursor; and who handles the keys. */
  void connect(CurseurCanvasConsole input, Consumer<java.awt.event.KeyEvent> keys, Runnable reveal) {
    this.input = input;
    this.keys = keys;
    this.reveal = reveal;
  }

  /** Whose unfinished lines the view shows once they have waited a little. */
  void addPrinter(ConsolePrinter printer) {
    synchronized (printers) {
      printers.add(printer);
    }
  }

  /** The scroll bar that goes with this view. */
  public JScrollBar scrollBar() {
    return scrollBar;
  }

  // ---------------------------------------------------------------------
  // The text, as the printers change it. Each holds the lock.

  private static int slot(long line) {
    return (int) (line % CAPACITY);
  }

  private long last() {
    return first + count - 1;
  }

  /**
   * Writes chars[from, to) at the cursor in `style`, over what is there, as
   * a terminal places them: a wide character (and a surrogate pair, an
   * emoji) takes two cells and goes whole to the next row when it would
   * start at the last column (a padding cell, shown blank, before it); a
   * combining mark joins the character before it where Unicode composes
   * the two into one.
   */
  void put(char[] chars, int from, int to, int style) {
    int s = slot(cursorLine);
    int col = cursorCol;
    boolean plain = true;
    for (int i = from; i < to && plain; ++i) plain = chars[i] < 0x300;
    if (plain) {
      ensure(s, col + to - from);
      if (col > length[s]) fill(s, length[s], col, ' ', PLAIN);
      System.arraycopy(chars, from, text[s], col, to - from);
      placed(s, col, col + to - from, style);
      return;
    }
    ensure(s, col + 3 * (to - from));
    if (col > length[s]) fill(s, length[s], col, ' ', PLAIN);
    char[] line = text[s];
    int start = col;
    for (int i = from; i < to; ++i) {
      char c = chars[i];
      if (isMark(c) && col > 0) {
        int base = join(line, col, c);
        if (base >= 0) {
          start = Math.min(start, base);
          continue;
        }
      }
      boolean pairEnd = Character.isLowSurrogate(c) && i > from && Character.isHighSurrogate(chars[i - 1]);
      if (!pairEnd && (isWide(c) || Character.isHighSurrogate(c)) && columns > 1
          && col % columns == columns - 1)
        line[col++] = PAD;
      line[col++] = cellOf(c);
      if (isWide(c)) line[col++] = FILLER;
    }
    placed(s, start, col, style);
  }

  /** Cells [from, to) of the cursor's line written in `style`; the cursor after them. */
  private void placed(int s, int from, int to, int style) {
    paint(s, from, to, style);
    if (to > length[s]) {
      charCount += to - length[s];
      length[s] = to;
    }
    cursorCol = to;
    relayout(cursorLine);
    changed = true;
    if (charCount > MAX_CHARS) trim();
  }

  /**
   * Joins the mark `c` to the character in the cells before `col`: the
   * character Unicode composes of the two, or a cluster's code when it has
   * none. Returns the character's first cell, or -1 when the mark must take
   * a cell of its own (no room left for clusters).
   */
  private static int join(char[] cells, int col, char c) {
    int base = col - 1;
    boolean wide = false;
    if (col > 1 && (cells[col - 1] == FILLER
        || Character.isLowSurrogate(cells[col - 1]) && Character.isHighSurrogate(cells[col - 2]))) {
      base = col - 2;
      wide = true;
    }
    if (cells[base] == FILLER || cells[base] == PAD) return -1;
    String before =
        base == col - 1 || cells[base + 1] == FILLER
            ? cellString(cells[base])
            : new String(cells, base, 2);
    String joined = java.text.Normalizer.normalize(before + c, java.text.Normalizer.Form.NFC);
    if (joined.length() == 1 && !isPrivate(joined.charAt(0))) {
      cells[base] = joined.charAt(0);
      return base;
    }
    char code = standingFor(joined, '\0');
    if (code == 0) return -1;
    cells[base] = code;
    if (wide) cells[base + 1] = FILLER;
    return base;
  }

  // Clusters: a character and marks Unicode has no single character for
  // (Thai vowels, a Devanagari virama, a second accent, an emoji's variation
  // selector) take the one cell, as a terminal gives them. Such a cell holds
  // a code of the private use area that stands for the cluster, shared by
  // every canvas of the program; a private-use character a program prints
  // stands for itself while its code is free.
  private static final char PRIVATE_FIRST = '\ue000';
  private static final char PRIVATE_LAST = '\uf8ff';
  private static final String[] CLUSTERS = new String[PRIVATE_LAST - PRIVATE_FIRST + 1];
  private static final java.util.Map<String, Character> CLUSTER_CODES = new java.util.HashMap<>();
  private static int nextCluster;

  private static boolean isPrivate(char c) {
    return c >= PRIVATE_FIRST && c <= PRIVATE_LAST;
  }

  /**
   * The code that stands for `text` in a cell: `itself` where it is free
   * (a private-use character printed), else one given to `text` once; 0
   * when every code is taken.
   */
  private static char standingFor(String text, char itself) {
    synchronized (CLUSTERS) {
      if (itself != 0) {
        String meant = CLUSTERS[itself - PRIVATE_FIRST];
        if (meant == null) CLUSTERS[itself - PRIVATE_FIRST] = meant = text;
        if (meant.equals(text)) return itself;
      }
      Character known = CLUSTER_CODES.get(text);
      if (known != null) return known;
      while (nextCluster < CLUSTERS.length && CLUSTERS[nextCluster] != null) ++nextCluster;
      if (nextCluster == CLUSTERS.length) return itself;
      char code = (char) (PRIVATE_FIRST + nextCluster);
      CLUSTERS[nextCluster] = text;
      CLUSTER_CODES.put(text, code);
      return code;
    }
  }

  /** The cell a character printed by itself takes: itself, or a code standing for it. */
  private static char cellOf(char c) {
    return isPrivate(c) ? standingFor(String.valueOf(c), c) : c;
  }

  /** What a cell's character stands for: itself, or a cluster. */
  static String cellString(char c) {
    if (isPrivate(c)) {
      synchronized (CLUSTERS) {
        String meant = CLUSTERS[c - PRIVATE_FIRST];
        if (meant != null) return meant;
      }
    }
    return String.valueOf(c);
  }

  /** The characters a cell adds to the text: none for the second of a wide one. */
  private static void appendCell(StringBuilder out, char c) {
    if (c == FILLER || c == PAD) return;
    if (isPrivate(c)) out.append(cellString(c));
    else out.append(c);
  }

  /** The length of what a cell adds to the text. */
  private static int cellLength(char c) {
    if (c == FILLER || c == PAD) return 0;
    return isPrivate(c) ? cellString(c).length() : 1;
  }

  /** A mark that combines with the character before it. */
  private static boolean isMark(char c) {
    if (c < 0x300) return false;
    int type = Character.getType(c);
    return type == Character.NON_SPACING_MARK || type == Character.ENCLOSING_MARK;
  }

  /** The cursor to the start of the next line, made when there is none. */
  void lineFeed() {
    if (regionBottom >= 0 && cursorLine == home() + regionBottom) {
      // At the scroll region's bottom the region scrolls, not the screen.
      long top = home() + regionTop;
      shiftLines(top, cursorLine, 1, false);
      moveCursor(cursorLine, 0);
      relayoutFrom(top);
      changed = true;
      return;
    }
    long line = cursorLine + 1;
    if (line > last()) append();
    moveCursor(line, 0);
    changed = true;
  }

  /** ESC M: the cursor up a line; at the top of the scroll region (or screen) it scrolls down. */
  void reverseIndex() {
    long home = home();
    long top = home + Math.max(0, regionTop);
    if (cursorLine != top) {
      cursorBy(-1, 0);
      return;
    }
    // Without a region the screen has the rows its lines fill, and grows.
    long bottom = regionBottom >= 0 ? home + regionBottom : Math.min(last() + 1, home + screenRows - 1);
    while (last() < bottom) append();
    shiftLines(top, bottom, 1, true);
    relayoutFrom(top);
    changed = true;
  }

  /** CSI t;b r: the rows lines scroll within (1-based, 0 the screen's edge); the cursor home. */
  void scrollRegion(int top, int bottom) {
    int from = Math.max(1, top), to = bottom <= 0 ? screenRows : Math.min(bottom, screenRows);
    if (from >= to || (from == 1 && to == screenRows)) {
      regionTop = 0;
      regionBottom = -1;
    } else {
      regionTop = from - 1;
      regionBottom = to - 1;
    }
    cursorTo(1, 1);
  }

  /**
   * Lines `from`..`to` (which exist) shifted `n` down (blank lines come in
   * at `from`, the last ones go) or up (the first ones go, blank lines come
   * in at `to`); the lines around them stay.
   */
  private void shiftLines(long from, long to, int n, boolean down) {
    n = (int) Math.min(n, to - from + 1);
    if (n <= 0) return;
    if (down) {
      for (long line = to - n + 1; line <= to; ++line) charCount -= length[slot(line)];
      for (long line = to; line >= from + n; --line) moveLine(line - n, line);
      for (long line = from; line < from + n; ++line) blankLine(line);
    } else {
      for (long line = from; line < from + n; ++line) charCount -= length[slot(line)];
      for (long line = from; line + n <= to; ++line) moveLine(line + n, line);
      for (long line = to - n + 1; line <= to; ++line) blankLine(line);
    }
  }

  void carriageReturn() {
    cursorCol = 0;
    changed = true;
  }

  void backspace() {
    if (cursorCol > 0) --cursorCol;
    changed = true;
  }

  void tab() {
    cursorCol = (cursorCol / TAB + 1) * TAB;
    relayout(cursorLine);
    changed = true;
  }

  /** ESC[K: 0 from the cursor to the end of the line, 1 from its start, 2 all of it. */
  void eraseInLine(int mode) {
    int s = slot(cursorLine);
    if (mode == 0) {
      truncate(s, cursorCol);
    } else if (mode == 1) {
      int end = Math.min(cursorCol + 1, length[s]);
      fill(s, 0, end, ' ', PLAIN);
    } else {
      truncate(s, 0);
    }
    relayout(cursorLine);
    changed = true;
  }

  /** ESC[J: 0 from the cursor to the end, 1 from the screen's start, 2 all of it, 3 the scroll-back. */
  void eraseInDisplay(int mode) {
    if (mode == 0) {
      truncate(slot(cursorLine), cursorCol);
      while (last() > cursorLine) dropLast();
      relayout(cursorLine);
    } else if (mode == 1) {
      for (long line = home(); line < cursorLine; ++line) truncate(slot(line), 0);
      fill(slot(cursorLine), 0, Math.min(cursorCol + 1, length[slot(cursorLine)]), ' ', PLAIN);
      relayoutFrom(home());
    } else if (mode == 2) {
      clearScreen(false);
    } else if (mode == 3) {
      long home = home();
      while (first < home) dropFirst();
      relayoutFrom(first);
    }
    changed = true;
  }

  /**
   * The screen erased in place, as xterm does it: what it showed is gone,
   * not kept in the scroll-back (all of the scroll-back goes too with
   * `everything`), and the cursor keeps its place. A program that redraws
   * its frames leaves one screen.
   */
  void clearScreen(boolean everything) {
    long home = home();
    for (long line = home; line <= last(); ++line) truncate(slot(line), 0);
    while (last() > Math.max(cursorLine, home)) dropLast();
    screenLine = home;
    if (everything) {
      while (first < home) dropFirst();
    }
    relayoutFrom(home);
    changed = true;
  }

  /**
   * A form feed: a new page, what the screen showed going up into the
   * scroll-back, the cursor at its start.
   */
  void newPage() {
    long home = home();
    boolean empty = true;
    for (long line = home; line <= last() && empty; ++line) empty = length[slot(line)] == 0;
    if (empty) {
      while (last() > home) dropLast();
    } else {
      append();
    }
    screenLine = last();
    moveCursor(screenLine, 0);
    changed = true;
  }

  /** The cursor to a 1-based row of the screen and column, within it; 0 keeps either. */
  void cursorTo(int row, int column) {
    long line = cursorLine;
    if (row > 0) {
      line = home() + Math.min(row, screenRows) - 1;
      while (last() < line) append();
    }
    moveCursor(line, column > 0 ? Math.min(column, columns) - 1 : cursorCol);
    changed = true;
  }

  /** The cursor moved by lines and columns, stopping at the screen's edges. */
  void cursorBy(int down, int right) {
    long home = home();
    long line = Math.max(home, Math.min(cursorLine + down, home + screenRows - 1));
    while (last() < line) append();
    int column = right == 0 ? cursorCol : Math.max(0, Math.min(cursorCol + right, columns - 1));
    moveCursor(line, column);
    changed = true;
  }

  /** Where the cursor is on the screen, from 0: {row, column}. */
  int[] cursorOnScreen() {
    return new int[] {(int) Math.max(0, Math.min(cursorLine - home(), screenRows - 1)), cursorCol};
  }

  /** CSI n @: blanks inserted at the cursor, what follows pushed right to the margin. */
  void insertBlanks(int n) {
    int s = slot(cursorLine);
    int len = length[s];
    if (cursorCol >= len) return;
    int limit = len <= columns ? columns : len + n;  // a wrapped line loses nothing
    n = Math.min(n, limit - cursorCol);
    int size = Math.min(len + n, limit);
    ensure(s, size);
    int[] cells = cellStyles(s);
    System.arraycopy(text[s], cursorCol, text[s], cursorCol + n, size - n - cursorCol);
    System.arraycopy(cells, cursorCol, cells, cursorCol + n, size - n - cursorCol);
    charCount += size - len;
    length[s] = size;
    fill(s, cursorCol, cursorCol + n, ' ', PLAIN);
    relayout(cursorLine);
    changed = true;
  }

  /** CSI n P: characters deleted at the cursor, what follows pulled left. */
  void deleteChars(int n) {
    int s = slot(cursorLine);
    int len = length[s];
    if (cursorCol >= len) return;
    n = Math.min(n, len - cursorCol);
    System.arraycopy(text[s], cursorCol + n, text[s], cursorCol, len - cursorCol - n);
    if (styles[s] != null)
      System.arraycopy(styles[s], cursorCol + n, styles[s], cursorCol, len - cursorCol - n);
    truncate(s, len - n);
    relayout(cursorLine);
    changed = true;
  }

  /** CSI n X: characters erased at the cursor, nothing moved. */
  void eraseChars(int n) {
    int s = slot(cursorLine);
    int end = (int) Math.min((long) cursorCol + n, length[s]);
    if (end > cursorCol) fill(s, cursorCol, end, ' ', PLAIN);
    touched(cursorLine);
    changed = true;
  }

  /**
   * The last line of the scroll region (the screen without one) when the
   * cursor is within it, where lines are inserted and deleted; else -1.
   */
  private long regionEnd() {
    long home = home();
    long bottom = home + (regionBottom >= 0 ? regionBottom : screenRows - 1);
    return cursorLine < home + Math.max(0, regionTop) || cursorLine > bottom ? -1 : bottom;
  }

  /** CSI n L: blank lines inserted at the cursor's, those pushed off the screen (or region) gone. */
  void insertLines(int n) {
    long bottom = regionEnd();
    if (bottom < 0) return;
    // Without a region the screen has the rows its lines fill, and grows.
    long to = regionBottom >= 0 ? bottom : Math.min(bottom, last() + n);
    while (last() < to) append();
    shiftLines(cursorLine, to, n, true);
    cursorCol = 0;
    relayoutFrom(cursorLine);
    changed = true;
  }

  /** CSI n M: lines deleted at the cursor's, those below (in the region) pulled up. */
  void deleteLines(int n) {
    long bottom = regionEnd();
    if (bottom < 0) return;
    if (regionBottom >= 0) {
      while (last() < bottom) append();
      shiftLines(cursorLine, bottom, n, false);
    } else {
      // The screen loses the rows that held nothing then.
      int k = (int) Math.min(n, last() - cursorLine + 1);
      shiftLines(cursorLine, last(), k, false);
      for (int i = 0; i < k && last() > cursorLine; ++i) releaseLast();
    }
    if (screenLine > last()) screenLine = last();
    cursorCol = 0;
    relayoutFrom(cursorLine);
    changed = true;
  }

  /**
   * The alternate screen of full-screen programs, on or off: the main one's
   * lines and cursor are kept aside meanwhile and come back as they were,
   * and nothing of the alternate one stays. With `cursor` (1049) the cursor
   * is saved and restored too.
   */
  void alternateScreen(boolean on, boolean cursor) {
    if (on == (altStart >= 0)) return;
    long home = home();
    if (on) {
      mainRow = (int) Math.max(0, cursorLine - home);
      mainCol = cursorCol;
      mainScreen.clear();
      for (long line = home; line <= last(); ++line) {
        int s = slot(line);
        mainScreen.add(new Object[] {text[s], styles[s], uniform[s], length[s]});
        charCount -= length[s];
      }
      while (last() > home) releaseLast();
      blankLine(home);
      altStart = home;
      screenLine = home;
      long line = home;
      for (int i = 0; i < mainRow; ++i) {
        append();
        ++line;
      }
      moveCursor(line, cursorCol);
    } else {
      long start = Math.max(altStart, first);
      int row = (int) Math.max(0, cursorLine - home);
      int col = cursorCol;
      while (last() > start) dropLast();
      truncate(slot(start), 0);
      for (int i = 0; i < mainScreen.size(); ++i) {
        if (i > 0) append();
        Object[] kept = mainScreen.get(i);
        int s = slot(last());
        text[s] = (char[]) kept[0];
        styles[s] = (int[]) kept[1];
        uniform[s] = (Integer) kept[2];
        length[s] = (Integer) kept[3];
        charCount += length[s];
      }
      mainScreen.clear();
      altStart = -1;
      screenLine = start;
      if (cursor) {
        row = mainRow;
        col = mainCol;
      }
      while (last() < start + row) append();
      moveCursor(start + row, col);
    }
    relayoutFrom(Math.max(first, screenLine));
    changed = true;
  }

  /** ESC[?25l hides the caret, ESC[?25h shows it again. */
  void showCaret(boolean shown) {
    caretShown = shown;
    changed = true;
  }

  /** Rings, at most a few times a second. */
  void bell() {
    long now = System.nanoTime();
    if (now - bells < 200_000_000L) return;
    bells = now;
    Toolkit.getDefaultToolkit().beep();
  }

  /** Empties the window but for the line being written. */
  void clearAll() {
    while (first < cursorLine) dropFirst();
    screenLine = cursorLine;
    relayoutFrom(first);
    changed = true;
  }

  /** Text at the cursor that starts a line of its own, unless the cursor is at one's start. */
  void startLine() {
    if (cursorCol > 0 || length[slot(cursorLine)] > 0) lineFeed();
  }

  /**
   * The line being typed, its caret and selection (char indices), and
   * whether it and its caret show. A tab takes it to the next multiple of
   * eight cells from its start, a wide character two cells.
   */
  void setInput(String line, int caret, int from, int to, boolean shown) {
    int[] starts = new int[line.length() + 1];
    int cell = 0;
    for (int i = 0; i < line.length(); ++i) {
      starts[i] = cell;
      char c = line.charAt(i);
      if (isMark(c) && i > 0 && line.charAt(i - 1) != '\t') continue;  // in its letter's cell
      cell = c == '\t' ? (cell / TAB + 1) * TAB : cell + (isWide(c) ? 2 : 1);
    }
    starts[line.length()] = cell;
    typed = line;
    typedCells = starts;
    inputCells = cell;
    typedCaret = caret;
    typedFrom = Math.min(from, to);
    typedTo = Math.max(from, to);
    inputShown = shown;
    relayout(cursorLine);
    changed = true;
  }

  /** The char of the typed line at a cell from its start (its length past the end). */
  int typedIndexAt(int cell) {
    lock.lock();
    try {
      int i = 0;
      while (i < typed.length() && typedCells[i + 1] <= cell) ++i;
      return i;
    } finally {
      lock.unlock();
    }
  }

  // ---------------------------------------------------------------------
  // The text's storage.

  /** Whether a character takes two cells, as East Asian wide ones do. */
  static boolean isWide(char c) {
    if (c < 0x1100) return false;
    return c <= 0x115f
        || (c >= 0x2e80 && c <= 0xa4cf && c != 0x303f)
        || (c >= 0xac00 && c <= 0xd7a3)
        || (c >= 0xf900 && c <= 0xfaff)
        || (c >= 0xfe30 && c <= 0xfe4f)
        || (c >= 0xff00 && c <= 0xff60)
        || (c >= 0xffe0 && c <= 0xffe6);
  }

  private void ensure(int s, int size) {
    char[] line = text[s];
    if (size <= line.length) return;
    int grown = Math.max(size, Math.min(line.length * 2, Integer.MAX_VALUE - 8));
    text[s] = java.util.Arrays.copyOf(line, grown);
    if (styles[s] != null) styles[s] = java.util.Arrays.copyOf(styles[s], grown);
  }

  /** Cells [from, to) of a line, which must hold them, in `style`. */
  private void paint(int s, int from, int to, int style) {
    int[] cells = styles[s];
    if (cells == null) {
      if (uniform[s] == style || (from == 0 && to >= length[s])) {
        uniform[s] = style;
        return;
      }
      cells = new int[text[s].length];
      java.util.Arrays.fill(cells, 0, length[s], uniform[s]);
      styles[s] = cells;
    }
    java.util.Arrays.fill(cells, from, to, style);
  }

  private void fill(int s, int from, int to, char c, int style) {
    if (to <= from) return;
    ensure(s, to);
    java.util.Arrays.fill(text[s], from, to, c);
    paint(s, from, to, style);
    if (to > length[s]) {
      charCount += to - length[s];
      length[s] = to;
    }
  }

  /** The line's styles cell by cell, made so when it had one for all. */
  private int[] cellStyles(int s) {
    if (styles[s] == null) {
      styles[s] = new int[text[s].length];
      java.util.Arrays.fill(styles[s], 0, length[s], uniform[s]);
    }
    return styles[s];
  }

  /** The line `to` takes what `from` holds; `from` is to be given new arrays or go. */
  private void moveLine(long from, long to) {
    int f = slot(from), t = slot(to);
    text[t] = text[f];
    styles[t] = styles[f];
    uniform[t] = uniform[f];
    length[t] = length[f];
  }

  /** The last line goes, its characters counted out already (moved or kept aside). */
  private void releaseLast() {
    int s = slot(last());
    text[s] = null;
    styles[s] = null;
    length[s] = 0;
    --count;
  }

  private void blankLine(long line) {
    int s = slot(line);
    text[s] = new char[16];
    styles[s] = null;
    uniform[s] = PLAIN;
    length[s] = 0;
  }

  private void truncate(int s, int size) {
    if (size >= length[s]) return;
    charCount -= length[s] - size;
    length[s] = size;
    if (size == 0 && styles[s] != null) {
      styles[s] = null;
      uniform[s] = PLAIN;
    }
  }

  private void append() {
    if (count == CAPACITY - 1) dropFirst();
    long line = last() + 1;
    int s = slot(line);
    text[s] = new char[16];
    length[s] = 0;
    styles[s] = null;
    uniform[s] = PLAIN;
    rows[s] = 1;
    int before = slot(line - 1);
    rowStart[s] = rowStart[before] + rows[before];
    ++count;
    touched(line);
    if (count > MAX_LINES + 1) dropFirst();
  }

  private void dropFirst() {
    if (count == 1) return;
    int s = slot(first);
    charCount -= length[s];
    text[s] = null;
    styles[s] = null;
    ++first;
    --count;
    if (screenLine < first) screenLine = first;
    if (cursorLine < first) cursorLine = first;
  }

  private void dropLast() {
    int s = slot(last());
    charCount -= length[s];
    text[s] = null;
    styles[s] = null;
    --count;
    touched(last() + 1);
    if (screenLine > last()) screenLine = last();
  }

  /** Old lines go until the text is within MAX_CHARS; a line longer than that loses its start. */
  private void trim() {
    while (charCount > MAX_CHARS && count > 1 && first < cursorLine) dropFirst();
    if (charCount <= MAX_CHARS) return;
    // One line holds it all: whole rows of its start go, and a quarter more
    // so that this is rare.
    int s = slot(first);
    int cut = (int) Math.min(length[s], charCount - MAX_CHARS + MAX_CHARS / 4);
    cut = Math.min(length[s], (cut + columns - 1) / columns * columns);
    System.arraycopy(text[s], cut, text[s], 0, length[s] - cut);
    if (styles[s] != null) System.arraycopy(styles[s], cut, styles[s], 0, length[s] - cut);
    length[s] -= cut;
    charCount -= cut;
    if (cursorLine == first) cursorCol = Math.max(0, cursorCol - cut);
    relayoutFrom(first);
  }

  private void moveCursor(long line, int col) {
    long before = cursorLine;
    cursorLine = line;
    cursorCol = col;
    if (before != line && before >= first && before <= last()) relayout(before);
    relayout(line);
  }

  /** Cells the line takes, with the typed line and the caret where it is the cursor's. */
  private int cells(long line) {
    int s = slot(line);
    if (line != cursorLine) return length[s];
    // The caret takes a cell of its own; at the end of a full row with
    // nothing typed it waits there, as a terminal's does, and takes no row.
    boolean waiting = inputCells == 0 && cursorCol > 0 && cursorCol % columns == 0;
    int shown = inputShown ? cursorCol + inputCells + (waiting ? 0 : 1) : cursorCol;
    return Math.max(length[s], shown);
  }

  private int rowsOf(long line) {
    return Math.max(1, (cells(line) + columns - 1) / columns);
  }

  private void relayout(long line) {
    touched(line);
    int s = slot(line);
    int now = rowsOf(line);
    if (now == rows[s]) return;
    rows[s] = now;
    for (long next = line + 1; next <= last(); ++next) {
      int before = slot(next - 1);
      rowStart[slot(next)] = rowStart[before] + rows[before];
    }
  }

  private void relayoutFrom(long line) {
    touched(line);
    for (long l = Math.max(line, first); l <= last(); ++l) {
      int s = slot(l);
      rows[s] = rowsOf(l);
      if (l > first) {
        int before = slot(l - 1);
        rowStart[s] = rowStart[before] + rows[before];
      }
    }
  }

  private long endRow() {
    int s = slot(last());
    return rowStart[s] + rows[s];
  }

  /** The line holding an absolute row; the first or last line beyond them. */
  private long lineAtRow(long row) {
    long low = first, high = last();
    while (low < high) {
      long mid = (low + high + 1) >>> 1;
      if (rowStart[slot(mid)] <= row) low = mid;
      else high = mid - 1;
    }
    return low;
  }

  /** Where cursor addresses count from: the screen's first line. */
  private long home() {
    long screenTop = endRow() - screenRows;
    long line = lineAtRow(Math.max(screenTop, rowStart[slot(first)]));
    if (rowStart[slot(line)] < screenTop && line < last()) ++line;
    return Math.max(Math.max(screenLine, first), line);
  }

  /** Rows from the first kept to the end, the screen filling a view at least. */
  private long documentRows() {
    long base = rowStart[slot(first)];
    long screen = rowStart[slot(Math.max(screenLine, first))];
    return screen - base + Math.max(endRow() - screen, screenRows);
  }

  // ---------------------------------------------------------------------
  // What the view and the others read. Each takes the lock.

  /** The text shown, lines joined by \n, the line being typed at the cursor included. */
  public String shownText() {
    lock.lock();
    try {
      StringBuilder all = new StringBuilder();
      for (long line = first; line <= last(); ++line) {
        if (line > first) all.append('\n');
        appendLine(all, line, 0, Integer.MAX_VALUE);
      }
      return all.toString();
    } finally {
      lock.unlock();
    }
  }

  /** The text of the line's cells [from, to), the typed line over it at the cursor. Locked. */
  private void appendLine(StringBuilder out, long line, int from, int to) {
    char[] cells = composite(line, null);
    int end = Math.min(to, textCells(line));
    for (int i = from; i < end; ++i) appendCell(out, cells[i]);
  }

  /** Cells of a line that hold text, the typed line's included. Locked. */
  private int textCells(long line) {
    int size = length[slot(line)];
    if (line == cursorLine && inputShown && inputCells > 0)
      size = Math.max(size, cursorCol + inputCells);
    return size;
  }

  /**
   * The cells of a line as shown: its text, and at the cursor the typed
   * line, its styles into `cellStyles` when given. Locked; the cursor's line
   * gets a fresh array, any other its own.
   */
  private char[] composite(long line, int[][] cellStyles) {
    int s = slot(line);
    if (line != cursorLine || !inputShown) {
      if (cellStyles != null) cellStyles[0] = styles[s];
      return text[s];
    }
    int size = Math.max(length[s], cursorCol + inputCells) + 1;
    char[] cells = java.util.Arrays.copyOf(text[s], size);
    for (int i = length[s]; i < size; ++i) cells[i] = ' ';
    int[] cellStyle = new int[size];
    for (int i = 0; i < size; ++i) cellStyle[i] = i < length[s] ? styleAt(s, i) : PLAIN;
    for (int i = 0; i < typed.length(); ++i) {
      int at = cursorCol + typedCells[i], end = cursorCol + typedCells[i + 1];
      char c = typed.charAt(i);
      if (at == end) {
        if (at > 0) join(cells, at, c);
        continue;
      }
      cells[at] = c == '\t' ? ' ' : cellOf(c);
      for (int k = at + 1; k < end; ++k) cells[k] = c == '\t' ? ' ' : FILLER;
      for (int k = at; k < end; ++k) cellStyle[k] = PLAIN | INPUT;
    }
    if (cellStyles != null) cellStyles[0] = cellStyle;
    return cells;
  }

  private int styleAt(int s, int i) {
    return styles[s] != null ? styles[s][i] : uniform[s];
  }

  /** The whole scroll-back as text, for a transcript: each line ended as the platform ends them. */
  public String transcript() {
    String end = System.lineSeparator();
    return shownText().replace("\n", end) + end;
  }

  /** The style of a cell shown, for tests: -1 beyond the text. */
  int styleShown(long line, int cell) {
    lock.lock();
    try {
      if (line < first || line > last()) return -1;
      int[][] cellStyles = new int[1][];
      char[] cells = composite(line, cellStyles);
      int s = slot(line);
      if (cell >= textCells(line)) return -1;
      return cellStyles[0] != null ? cellStyles[0][cell] : uniform[s];
    } finally {
      lock.unlock();
    }
  }

  /** The screen's lines, from the first a cursor address names, each ended by \n. */
  String screenText() {
    StringBuilder out = new StringBuilder();
    lock.lock();
    try {
      for (long line = home(); line <= last(); ++line) {
        appendLine(out, line, 0, Integer.MAX_VALUE);
        out.append('\n');
      }
    } finally {
      lock.unlock();
    }
    return out.toString();
  }

  /** The text of the rows in view, each ended by \n. */
  String visibleText() {
    StringBuilder out = new StringBuilder();
    lock.lock();
    try {
      long start = Math.max(top, rowStart[slot(first)]);
      for (long row = start; row < start + screenRows && row < endRow(); ++row) {
        long line = lineAtRow(row);
        int from = (int) (row - rowStart[slot(line)]) * columns;
        appendLine(out, line, from, from + columns);
        out.append('\n');
      }
    } finally {
      lock.unlock();
    }
    return out.toString();
  }

  /** Where a cell is drawn, in the view's coordinates; null when out of view. */
  Rectangle cellBounds(long line, int cell) {
    lock.lock();
    try {
      if (line < first || line > last()) return null;
      long row = rowStart[slot(line)] + cell / columns;
      if (row < top || row >= top + screenRows) return null;
      return new Rectangle(
          MARGIN_X + cell % columns * cellWidth,
          MARGIN_Y + (int) (row - top) * cellHeight,
          cellWidth,
          cellHeight);
    } finally {
      lock.unlock();
    }
  }

  /** The lines kept, as absolute numbers: {first, last}. */
  long[] lines() {
    lock.lock();
    try {
      return new long[] {first, last()};
    } finally {
      lock.unlock();
    }
  }

  // ---------------------------------------------------------------------
  // The view. Event thread.

  /** The window opens, if it has not yet. Any thread. */
  void revealSoon() {
    EventQueue.invokeLater(() -> reveal.run());
  }

  /** Something changed: the view looks once the event thread gets to it. Any thread. */
  void changed() {
    synchronized (scheduled) {
      if (holder == Thread.currentThread()) {
        changeHeld = true;
        return;
      }
      if (syncPending) return;
      syncPending = true;
      // One event, posted again: a new one would take the posting thread's
      // access control context, a walk of its stack, at every frame.
      if (syncEvent == null) syncEvent = new java.awt.event.InvocationEvent(this, this::sync);
    }
    Toolkit.getDefaultToolkit().getSystemEventQueue().postEvent(syncEvent);
  }

  /** This thread's changes wait for release(), which makes them one. */
  void hold() {
    synchronized (scheduled) {
      holder = Thread.currentThread();
    }
  }

  void release() {
    boolean change, tail;
    synchronized (scheduled) {
      holder = null;
      change = changeHeld;
      tail = tailHeld;
      changeHeld = tailHeld = false;
    }
    if (tail && anyTail()) flushLater();
    if (change) changed();
  }

  /** Brings the view up to date with the text. */
  void sync() {
    synchronized (scheduled) {
      syncPending = false;
    }
    boolean any;
    lock.lock();
    try {
      any = changed;
      changed = false;
    } finally {
      lock.unlock();
    }
    if (any) reveal.run();
    updateView();
    if (isShowing()) {
      // Painted in this event rather than the repaint manager's next, and
      // flushed to the display at once: a frame of a game costs one event.
      flushPending = true;
      paintImmediately(0, 0, getWidth(), getHeight());
      flushPending = false;
      Toolkit.getDefaultToolkit().sync();
    } else {
      repaint();
    }
    if (mirror != null && !mirrorTimer.isRunning()) mirrorTimer.start();
  }

  /** The scroll bar and the first row from the text's size. */
  private void updateView() {
    long base, bottom, total;
    lock.lock();
    try {
      base = rowStart[slot(first)];
      total = documentRows();
      bottom = base + Math.max(0, total - screenRows);
    } finally {
      lock.unlock();
    }
    if (follow || top > bottom) top = bottom;
    if (top < base) top = base;
    adjusting = true;
    try {
      scrollBar.setValues(
          (int) Math.min(top - base, Integer.MAX_VALUE - 1),
          screenRows,
          0,
          (int) Math.min(Math.max(total, screenRows), Integer.MAX_VALUE - 1));
      scrollBar.setBlockIncrement(Math.max(1, screenRows - 1));
    } finally {
      adjusting = false;
    }
    if (mirror != null) placeMirror();
  }

  /** The first row kept, and the last the view can start at: {base, bottom}. */
  private long[] scrollRange() {
    lock.lock();
    try {
      long base = rowStart[slot(first)];
      return new long[] {base, base + Math.max(0, documentRows() - screenRows)};
    } finally {
      lock.unlock();
    }
  }

  private void scrolledTo(int value) {
    scrollTo(scrollRange()[0] + value);
  }

  /** Scrolls by rows, up when negative; at the bottom the view follows again. */
  public void scrollRows(long delta) {
    scrollTo(top + delta);
  }

  private void scrollTo(long row) {
    long[] range = scrollRange();
    top = Math.max(range[0], Math.min(range[1], row));
    follow = top >= range[1];
    updateView();
    repaint();
  }

  public void scrollPages(int pages) {
    scrollRows((long) pages * Math.max(1, screenRows - 1));
  }

  public void scrollToTop() {
    scrollTo(Long.MIN_VALUE);
  }

  public void scrollToBottom() {
    follow = true;
    updateView();
    repaint();
  }

  /** Whether the view follows the output. */
  public boolean following() {
    return follow;
  }

  @Override
  public void setBounds(int x, int y, int width, int height) {
    super.setBounds(x, y, width, height);
    resized();
  }

  /** The text rewrapped to the view's size in cells. */
  private void resized() {
    int newColumns = Math.max(1, (getWidth() - 2 * MARGIN_X) / cellWidth);
    int newRows = Math.max(1, (getHeight() - 2 * MARGIN_Y) / cellHeight);
    long keep;
    lock.lock();
    try {
      if (newColumns == columns && newRows == screenRows) return;
      keep = lineAtRow(top);
      columns = newColumns;
      screenRows = newRows;
      relayoutFrom(first);
      if (!follow) top = rowStart[slot(Math.max(keep, first))];
    } finally {
      lock.unlock();
    }
    updateView();
    repaint();
  }

  /** The view's size in cells: {columns, rows}. */
  public int[] grid() {
    lock.lock();
    try {
      return new int[] {columns, screenRows};
    } finally {
      lock.unlock();
    }
  }

  /** The font's size in points. */
  public int fontSize() {
    return fontSize;
  }

  /** Zooms in (positive) or out by steps; 0 back to the first size. */
  public void zoom(int steps) {
    setFontSize(steps == 0 ? DEFAULT_FONT : fontSize + steps * Math.max(1, fontSize / 8));
  }

  void setFontSize(int size) {
    size = Math.max(MIN_FONT, Math.min(MAX_FONT, size));
    fontSize = size;
    font = new Font(Font.MONOSPACED, Font.PLAIN, size);
    boldFont = font.deriveFont(Font.BOLD);
    plainFixed = boldFixed = null;
    setFont(font);
    if (mirror != null) mirror.setFont(font);
    FontMetrics metrics = getFontMetrics(font);
    cellWidth = Math.max(1, metrics.charWidth('m'));
    cellHeight = Math.max(1, metrics.getHeight());
    ascent = metrics.getAscent();
    if (getWidth() > 0) resized();
    repaint();
  }

  /** The size that shows `columns` x `rows` cells. */
  public Dimension sizeFor(int columns, int rows) {
    return new Dimension(columns * cellWidth + 2 * MARGIN_X, rows * cellHeight + 2 * MARGIN_Y);
  }

  @Override
  public Dimension getPreferredSize() {
    return isPreferredSizeSet() ? super.getPreferredSize() : sizeFor(80, 25);
  }

  @Override
  protected void paintComponent(Graphics graphics) {
    Graphics2D g = (Graphics2D) graphics;
    // Grey, not subpixel, antialiasing: a projector has no subpixels, and
    // coloured text keeps its colour.
    g.setRenderingHint(
        RenderingHints.KEY_TEXT_ANTIALIASING, RenderingHints.VALUE_TEXT_ANTIALIAS_ON);
    g.setColor(BACKGROUND);
    Rectangle clip = g.getClipBounds();
    if (clip == null) clip = new Rectangle(0, 0, getWidth(), getHeight());
    g.fillRect(clip.x, clip.y, clip.width, clip.height);
    // The rows shown, copied with the lock held, drawn without it.
    int shown = screenRows + 1;
    char[][] rowText = new char[shown][];
    int[][] rowStyle = new int[shown][];
    long[] rowLine = new long[shown];
    int[] rowCell = new int[shown];
    long caretLine = -1;
    int caretCell = 0, selectedFrom = 0, selectedTo = 0;
    int columns;
    lock.lock();
    try {
      columns = this.columns;
      long end = endRow();
      // The text may have lost its oldest lines since the view last looked.
      long top = Math.max(this.top, rowStart[slot(first)]);
      long line = lineAtRow(top);
      int[][] cellStyles = new int[1][];
      char[] cells = null;
      long cellsOf = -1;
      for (int r = 0; r < shown; ++r) {
        long row = top + r;
        if (row >= end) break;
        while (line < last() && rowStart[slot(line + 1)] <= row) ++line;
        if (cellsOf != line) {
          cells = composite(line, cellStyles);
          cellsOf = line;
        }
        int s = slot(line);
        int from = (int) (row - rowStart[s]) * columns;
        int to = Math.max(from, Math.min(textCells(line), from + columns));
        rowLine[r] = line;
        rowCell[r] = from;
        rowText[r] = java.util.Arrays.copyOfRange(cells, from, to);
        int[] style = new int[to - from];
        if (cellStyles[0] != null) System.arraycopy(cellStyles[0], from, style, 0, style.length);
        else java.util.Arrays.fill(style, uniform[s]);
        rowStyle[r] = style;
      }
      if (inputShown && input != null) {
        caretLine = cursorLine;
        caretCell = cursorCol + typedCells[Math.min(typedCaret, typed.length())];
        selectedFrom = cursorCol + typedCells[Math.min(typedFrom, typed.length())];
        selectedTo = cursorCol + typedCells[Math.min(typedTo, typed.length())];
      }
    } finally {
      lock.unlock();
    }
    for (int r = 0; r < shown; ++r) {
      if (rowText[r] == null) continue;
      boolean typing = rowLine[r] == caretLine;
      drawRow(
          g,
          r,
          rowText[r],
          rowStyle[r],
          rowLine[r],
          rowCell[r],
          typing ? selectedFrom : 0,
          typing ? selectedTo : 0);
      if (typing && caretCell >= rowCell[r] && caretCell < rowCell[r] + columns)
        drawCaret(g, r, caretCell - rowCell[r], rowText[r]);
      else if (typing
          && caretCell > 0
          && caretCell == rowCell[r] + columns
          && (r + 1 == shown || rowText[r + 1] == null || rowLine[r + 1] != rowLine[r]))
        drawCaret(g, r, columns - 1, rowText[r]);  // waiting at the end of a full row
    }
    if (!flushPending) {
      // Drawing waits in the X client's buffer until flushed: what a resize
      // or a scroll shows, shows now.
      flushPending = true;
      EventQueue.invokeLater(
          () -> {
            flushPending = false;
            Toolkit.getDefaultToolkit().sync();
          });
    }
  }

  private void drawRow(
      Graphics2D g,
      int r,
      char[] cells,
      int[] style,
      long line,
      int from,
      int selectedFrom,
      int selectedTo) {
    int y = MARGIN_Y + r * cellHeight;
    int baseline = y + ascent;
    // Backgrounds and selections first, then the text over them. Most
    // cells have none of their own, a game's screen none at all.
    boolean marked = anchorLine >= 0 || line == matchLine || selectedTo > selectedFrom;
    for (int i = 0; i < cells.length; ) {
      if (!marked && (style[i] & INVERSE) == 0 && (style[i] >> BG_SHIFT & 0x1ff) == DEFAULT_COLOUR) {
        ++i;
        continue;
      }
      Color back = background(style[i], line, from + i, selectedFrom, selectedTo);
      int j = i + 1;
      while (j < cells.length
          && background(style[j], line, from + j, selectedFrom, selectedTo).equals(back)) ++j;
      if (!back.equals(BACKGROUND)) {
        g.setColor(back);
        g.fillRect(MARGIN_X + i * cellWidth, y, (j - i) * cellWidth, cellHeight);
      }
      i = j;
    }
    for (int i = 0; i < cells.length; ) {
      int st = style[i];
      boolean found = inMatch(line, from + i);
      int j = i;
      while (j < cells.length && style[j] == st && inMatch(line, from + j) == found) ++j;
      // A match found stands out whatever its colours: dark on amber.
      g.setColor(found ? BACKGROUND : foreground(st));
      boolean bold = (st & BOLD) != 0;
      g.setFont(bold ? boldFont : font);
      drawRun(g, cells, i, j, baseline, bold);
      if ((st & UNDERLINE) != 0)
        g.drawLine(MARGIN_X + i * cellWidth, baseline + 1, MARGIN_X + j * cellWidth - 1, baseline + 1);
      i = j;
    }
  }

  /**
   * Cells [from, to) in one colour: runs whose glyphs all take a cell at
   * once, any other character by itself at its cell, so that nothing a
   * font draws wider shifts what follows.
   */
  private void drawRun(Graphics2D g, char[] cells, int from, int to, int baseline, boolean bold) {
    FontMetrics metrics = g.getFontMetrics();
    boolean[] fixed = bold ? boldFixed : plainFixed;
    if (fixed == null) {
      // Which Latin-1 glyphs take a cell, once per font: most runs need no
      // measuring then, and a game redrawing its screen costs less.
      fixed = new boolean[0x100];
      for (char c = 0x20; c < 0x100; ++c) fixed[c] = metrics.charWidth(c) == cellWidth;
      if (bold) boldFixed = fixed;
      else plainFixed = fixed;
    }
    int i = from;
    while (i < to) {
      int j = i;
      boolean measured = true;
      while (j < to && cells[j] != FILLER && cells[j] < 0x2e80 && !Character.isSurrogate(cells[j])) {
        measured &= cells[j] < 0x100 && fixed[cells[j]];
        ++j;
      }
      if (j > i) {
        if (measured || metrics.charsWidth(cells, i, j - i) == (j - i) * cellWidth) {
          g.drawChars(cells, i, j - i, MARGIN_X + i * cellWidth, baseline);
        } else {
          for (int k = i; k < j; ++k)
            if (cells[k] != ' ') g.drawChars(cells, k, 1, MARGIN_X + k * cellWidth, baseline);
        }
        i = j;
        continue;
      }
      int n = Character.isHighSurrogate(cells[i]) && i + 1 < to ? 2 : 1;
      if (isPrivate(cells[i])) g.drawString(cellString(cells[i]), MARGIN_X + i * cellWidth, baseline);
      else if (cells[i] != FILLER && cells[i] != PAD)
        g.drawChars(cells, i, n, MARGIN_X + i * cellWidth, baseline);
      i += n;
    }
  }

  private void drawCaret(Graphics2D g, int row, int column, char[] cells) {
    if (!caretShown) return;
    int x = MARGIN_X + column * cellWidth;
    int y = MARGIN_Y + row * cellHeight;
    g.setColor(FOREGROUND);
    if (isFocusOwner()) {
      g.fillRect(x, y, cellWidth, cellHeight);
      if (column < cells.length && cells[column] != ' ' && cells[column] != FILLER) {
        g.setColor(BACKGROUND);
        g.setFont(font);
        int n = Character.isHighSurrogate(cells[column]) && column + 1 < cells.length ? 2 : 1;
        if (isPrivate(cells[column])) g.drawString(cellString(cells[column]), x, y + ascent);
        else g.drawChars(cells, column, n, x, y + ascent);
      }
    } else {
      g.drawRect(x, y, cellWidth - 1, cellHeight - 1);
    }
  }

  private Color background(int style, long line, int cell, int selectedFrom, int selectedTo) {
    if (inSelection(line, cell) || (cell >= selectedFrom && cell < selectedTo)) return SELECTION;
    if (inMatch(line, cell)) return MATCH;
    if ((style & INVERSE) != 0) return colour(style & 0x1ff, foregroundDefault(style));
    return colour((style >> BG_SHIFT) & 0x1ff, BACKGROUND);
  }

  private boolean inMatch(long line, int cell) {
    return line == matchLine && cell >= matchCell && cell < matchCell + matchLength;
  }

  private Color foreground(int style) {
    if ((style & INVERSE) != 0) return colour((style >> BG_SHIFT) & 0x1ff, BACKGROUND);
    int index = style & 0x1ff;
    if ((style & BOLD) != 0 && index < 8) index += 8;  // bold brightens, as in xterm
    return colour(index, foregroundDefault(style));
  }

  private static Color foregroundDefault(int style) {
    switch (style & KIND) {
      case INPUT:
        return INPUT_COLOUR;
      case ERROR:
        return ERROR_COLOUR;
      case NOTICE:
        return NOTICE_COLOUR;
      default:
        return FOREGROUND;
    }
  }

  private static Color colour(int index, Color otherwise) {
    if (index < 256) return PALETTE[index];
    if (index == DEFAULT_COLOUR) return otherwise;
    synchronized (TRUE_COLOURS) {
      return TRUE_COLOURS[index - DEFAULT_COLOUR - 1];
    }
  }

  /**
   * The style's colour index of a 24-bit colour: the colours met are kept
   * apart, as they are given, in the indexes above the default, as long as
   * there is room (255 of them); then the nearest kept or of the 256.
   */
  static int trueColour(int red, int green, int blue) {
    int rgb = (red << 16) | (green << 8) | blue;
    synchronized (TRUE_COLOURS) {
      for (int i = 0; i < trueColours; ++i)
        if ((TRUE_COLOURS[i].getRGB() & 0xffffff) == rgb) return DEFAULT_COLOUR + 1 + i;
      if (trueColours < TRUE_COLOURS.length) {
        TRUE_COLOURS[trueColours] = new Color(rgb);
        return DEFAULT_COLOUR + 1 + trueColours++;
      }
    }
    return nearestColour(red, green, blue);
  }

  /** The 16 colours of a terminal's palette, a 6x6x6 cube and 24 greys. */
  private static Color[] palette() {
    int[] base = {
      0x000000, 0xcd3131, 0x0dbc79, 0xe5e510, 0x2472c8, 0xbc3fbc, 0x11a8cd, 0xe5e5e5,
      0x666666, 0xf14c4c, 0x23d18b, 0xf5f543, 0x3b8eea, 0xd670d6, 0x29b8db, 0xffffff
    };
    Color[] colours = new Color[256];
    for (int i = 0; i < 16; ++i) colours[i] = new Color(base[i]);
    int[] steps = {0, 95, 135, 175, 215, 255};
    for (int i = 0; i < 216; ++i)
      colours[16 + i] = new Color(steps[i / 36], steps[i / 6 % 6], steps[i % 6]);
    for (int i = 0; i < 24; ++i) {
      int v = 8 + 10 * i;
      colours[232 + i] = new Color(v, v, v);
    }
    return colours;
  }

  /** The nearest of the 256 colours to an RGB one. */
  static int nearestColour(int red, int green, int blue) {
    int best = 0;
    long bestDistance = Long.MAX_VALUE;
    for (int i = 16; i < 256; ++i) {
      Color c = PALETTE[i];
      long dr = c.getRed() - red, dg = c.getGreen() - green, db = c.getBlue() - blue;
      long distance = dr * dr + dg * dg + db * db;
      if (distance < bestDistance) {
        bestDistance = distance;
        best = i;
      }
    }
    return best;
  }

  // ---------------------------------------------------------------------
  // The text as screen readers read it. Event thread, but for the context
  // asked for from any thread.

  /**
   * The context of the text's mirror, made the first time an assistive
   * technology asks: without one, nothing is mirrored.
   */
  @Override
  public AccessibleContext getAccessibleContext() {
    if (!EventQueue.isDispatchThread()) {
      AccessibleContext[] context = new AccessibleContext[1];
      try {
        EventQueue.invokeAndWait(() -> context[0] = getAccessibleContext());
      } catch (InterruptedException e) {
        Thread.currentThread().interrupt();
      } catch (java.lang.reflect.InvocationTargetException e) {
        throw new IllegalStateException(e.getCause());
      }
      return context[0];
    }
    if (mirror == null) {
      JTextArea text = new JTextArea();
      text.setEditable(false);
      text.setFocusable(false);
      text.setLineWrap(true);
      text.setBorder(null);
      text.setMargin(new java.awt.Insets(0, 0, 0, 0));
      text.setFont(font);
      AccessibleContext context = text.getAccessibleContext();
      context.setAccessibleName("Console");
      context.setAccessibleDescription("What the program printed, and the line being typed");
      // Laid out over the lines drawn, wrapped at the same width, so that
      // the bounds it gives a character are where the canvas draws it; in
      // a holder of no size, so that it is showing as the canvas is but
      // never drawn and never in the mouse's way.
      javax.swing.JPanel holder = new javax.swing.JPanel(null);
      holder.setBounds(0, 0, 0, 0);
      holder.add(text);
      add(holder);
      mirror = text;
      syncMirror();
    }
    AccessibleContext context = mirror.getAccessibleContext();
    if (getParent() instanceof Accessible) context.setAccessibleParent((Accessible) getParent());
    return context;
  }

  /** The mirror's lines lie where the canvas draws them. */
  private void placeMirror() {
    long firstRow, rows;
    lock.lock();
    try {
      long line = Math.max(first, mirrorFirst);
      firstRow = rowStart[slot(line)];
      rows = Math.max(1, endRow() - firstRow);
    } finally {
      lock.unlock();
    }
    mirror.setBounds(
        MARGIN_X,
        (int) Math.max(Integer.MIN_VALUE / 2, MARGIN_Y + (firstRow - top) * cellHeight),
        columns * cellWidth,
        (int) Math.min(Integer.MAX_VALUE / 2, rows * cellHeight));
  }

  /** The line `line` and those after it changed, for the mirror. Locked. */
  private void touched(long line) {
    if (line < dirtyLine) dirtyLine = line;
  }

  /**
   * The mirror brought up to date: lines gone from the top removed, those
   * changed from the first that did replaced, the caret put where typing
   * goes (or on the line reviewed, selected).
   */
  private void syncMirror() {
    if (mirror == null) return;
    StringBuilder tail = new StringBuilder();
    int dropped = 0, kept = 0, caret = 0, selectionEnd = -1;
    lock.lock();
    try {
      while (mirrorFirst < first && !mirrorLengths.isEmpty()) {
        dropped += mirrorLengths.remove(0) + 1;
        ++mirrorFirst;
      }
      mirrorFirst = first;
      long from = Math.max(first, Math.min(dirtyLine, mirrorFirst + mirrorLengths.size()));
      int keep = (int) (from - mirrorFirst);
      while (mirrorLengths.size() > keep) mirrorLengths.remove(mirrorLengths.size() - 1);
      for (int length : mirrorLengths) kept += length + 1;
      for (long line = from; line <= last(); ++line) {
        int before = tail.length();
        appendLine(tail, line, 0, Integer.MAX_VALUE);
        mirrorLengths.add(tail.length() - before);
        tail.append('\n');
      }
      dirtyLine = Long.MAX_VALUE;
      long at = reviewLine >= first && reviewLine <= last() ? reviewLine : cursorLine;
      for (int i = 0; i < at - mirrorFirst; ++i) caret += mirrorLengths.get(i) + 1;
      if (at == reviewLine) {
        selectionEnd = caret + mirrorLengths.get((int) (at - mirrorFirst));
      } else {
        char[] cells = composite(cursorLine, null);
        int column = cursorCol + typedCells[Math.min(typedCaret, typed.length())];
        for (int i = 0; i < Math.min(column, textCells(cursorLine)); ++i)
          caret += cellLength(cells[i]);
      }
    } finally {
      lock.unlock();
    }
    // Java's bridge to AT-SPI gives no text at all for a text holding a
    // surrogate pair (an emoji): each half has a stand-in of its own, so
    // that lengths and the caret stay as they are and the rest is read.
    for (int i = 0; i < tail.length(); ++i) {
      char c = tail.charAt(i);
      if (Character.isHighSurrogate(c)) tail.setCharAt(i, '\ufffd');
      else if (Character.isLowSurrogate(c)) tail.setCharAt(i, '\u200b');
    }
    javax.swing.text.Document document = mirror.getDocument();
    try {
      if (dropped > 0) document.remove(0, Math.min(dropped, document.getLength()));
      kept = Math.min(kept, document.getLength());
      if (document.getLength() > kept) document.remove(kept, document.getLength() - kept);
      document.insertString(kept, tail.toString(), null);
    } catch (javax.swing.text.BadLocationException e) {
      throw new IllegalStateException(e);
    }
    int length = document.getLength();
    if (selectionEnd >= 0) {
      mirror.setCaretPosition(Math.min(caret, length));
      mirror.moveCaretPosition(Math.min(selectionEnd, length));
    } else {
      mirror.setCaretPosition(Math.min(caret, length));
    }
    placeMirror();
  }

  /**
   * Alt+Up and Alt+Down: the line above or below the one reviewed (at
   * first the cursor's) is selected, brought into view and read out, so
   * that the output can be gone through line by line from the keyboard.
   */
  public void review(int step) {
    long line;
    int cells;
    lock.lock();
    try {
      long from = reviewLine >= first && reviewLine <= last() ? reviewLine : cursorLine;
      line = Math.max(first, Math.min(from + step, last()));
      reviewLine = line;
      cells = textCells(line);
    } finally {
      lock.unlock();
    }
    select(line, 0, cells);
    long row;
    lock.lock();
    try {
      row = rowStart[slot(line)];
    } finally {
      lock.unlock();
    }
    bringIntoView(row);
    if (mirror != null) syncMirror();
  }

  /** An absolute row out of view comes to its middle. */
  private void bringIntoView(long row) {
    if (row < top || row >= top + screenRows) scrollRows(row - top - screenRows / 2);
  }

  /** The line reviewed, if any, is no more: the caret goes back to the typed line. */
  public void endReview() {
    if (reviewLine < 0) return;
    reviewLine = -1;
    if (mirror != null) syncMirror();
  }

  /** The line reviewed, -1 when none is. */
  long reviewed() {
    return reviewLine;
  }

  // ---------------------------------------------------------------------
  // Selection, with the mouse or all at once; and finding text.

  private boolean inSelection(long line, int cell) {
    if (anchorLine < 0) return false;
    long[] range = selectionRange();
    if (line < range[0] || line > range[2]) return false;
    if (line == range[0] && cell < range[1]) return false;
    if (line == range[2] && cell >= range[3]) return false;
    return true;
  }

  /** {startLine, startCell, endLine, endCell}, the end excluded. */
  private long[] selectionRange() {
    boolean forward = anchorLine < headLine || (anchorLine == headLine && anchorCell <= headCell);
    return forward
        ? new long[] {anchorLine, anchorCell, headLine, headCell}
        : new long[] {headLine, headCell, anchorLine, anchorCell};
  }

  /** The selected text, or null when nothing is selected. */
  public String selectedText() {
    if (anchorLine < 0) return null;
    long[] range = selectionRange();
    if (range[0] == range[2] && range[1] == range[3]) return null;
    lock.lock();
    try {
      StringBuilder out = new StringBuilder();
      for (long line = Math.max(range[0], first); line <= Math.min(range[2], last()); ++line) {
        if (line > range[0]) out.append('\n');
        appendLine(
            out,
            line,
            line == range[0] ? (int) range[1] : 0,
            line == range[2] ? (int) range[3] : Integer.MAX_VALUE);
      }
      return out.toString();
    } finally {
      lock.unlock();
    }
  }

  public void selectAll() {
    lock.lock();
    try {
      anchorLine = first;
      anchorCell = 0;
      headLine = last();
      headCell = textCells(last());
    } finally {
      lock.unlock();
    }
    repaint();
  }

  public void clearSelection() {
    anchorLine = headLine = -1;
    repaint();
  }

  /** Selects cells of one line, for tests and for the find bar. */
  public void select(long line, int from, int to) {
    anchorLine = headLine = line;
    anchorCell = from;
    headCell = to;
    repaint();
  }

  /**
   * Finds `needle` (ignoring case) after, or before, the last match or the
   * end; the view goes there. Returns whether it was found.
   */
  public boolean find(String needle, boolean forward) {
    if (needle.isEmpty()) {
      matchLine = -1;
      repaint();
      return false;
    }
    // In cells, as the lines are searched: a wide character and its filler.
    String wanted = cells(needle.toLowerCase(java.util.Locale.ROOT));
    long foundLine = -1;
    int foundCell = 0;
    long row;
    lock.lock();
    try {
      long startLine = matchLine >= first ? matchLine : forward ? first : last();
      int startCell = matchLine >= first ? matchCell : forward ? -1 : Integer.MAX_VALUE;
      long lines = count;
      for (long i = 0; i <= lines && foundLine < 0; ++i) {
        long line;
        if (forward) line = first + Math.floorMod(startLine - first + i, lines);
        else line = first + Math.floorMod(startLine - first - i, lines);
        String shown = cellText(line);
        int at;
        if (forward) {
          at = i == 0 ? indexOf(shown, wanted, startCell + 1) : indexOf(shown, wanted, 0);
        } else {
          at = i == 0 ? lastIndexOf(shown, wanted, startCell - 1) : lastIndexOf(shown, wanted, shown.length());
        }
        if (at >= 0) {
          foundLine = line;
          foundCell = at;
        }
      }
      if (foundLine < 0) {
        matchLine = -1;
        repaint();
        return false;
      }
      matchLine = foundLine;
      matchCell = foundCell;
      matchLength = wanted.length();
      row = rowStart[slot(foundLine)] + foundCell / columns;
    } finally {
      lock.unlock();
    }
    bringIntoView(row);
    repaint();
    return true;
  }

  /** Text as the cells it takes in a line (where it does not wrap). */
  private static String cells(String text) {
    char[] cells = new char[2 * text.length()];
    int col = 0;
    for (char c : text.toCharArray()) {
      if (isMark(c) && col > 0 && join(cells, col, c) >= 0) continue;
      cells[col++] = cellOf(c);
      if (isWide(c)) cells[col++] = FILLER;
    }
    return new String(cells, 0, col);
  }

  /** The cells of a line as text, a cell a char, lowered. Locked. */
  private String cellText(long line) {
    char[] cells = composite(line, null);
    return new String(cells, 0, textCells(line)).toLowerCase(java.util.Locale.ROOT);
  }

  private static int indexOf(String in, String what, int from) {
    return from > in.length() ? -1 : in.indexOf(what, Math.max(0, from));
  }

  private static int lastIndexOf(String in, String what, int from) {
    return from < 0 ? -1 : in.lastIndexOf(what, from);
  }

  /** The match found last: {line, cell, length}, or null. */
  long[] match() {
    return matchLine < 0 ? null : new long[] {matchLine, matchCell, matchLength};
  }

  /** The cell under a point: {line, cell}. */
  private long[] cellAt(Point p) {
    long row = top + Math.max(0, (p.y - MARGIN_Y)) / cellHeight;
    int column = Math.max(0, Math.min(columns, (p.x - MARGIN_X + cellWidth / 2) / cellWidth));
    lock.lock();
    try {
      long line = lineAtRow(row);
      long cell = (row - rowStart[slot(line)]) * columns + column;
      return new long[] {line, (int) Math.min(cell, textCells(line))};
    } finally {
      lock.unlock();
    }
  }

  @Override
  protected void processMouseEvent(MouseEvent e) {
    if (e.getID() == MouseEvent.MOUSE_PRESSED && SwingUtilities.isLeftMouseButton(e)) {
      requestFocusInWindow();
      long[] at = cellAt(e.getPoint());
      if (e.getClickCount() >= 2) {
        selectAround(at, e.getClickCount() >= 3);
      } else if (e.isShiftDown() && anchorLine >= 0) {
        headLine = at[0];
        headCell = (int) at[1];
      } else {
        anchorLine = headLine = at[0];
        anchorCell = headCell = (int) at[1];
      }
      repaint();
    } else if (e.getID() == MouseEvent.MOUSE_RELEASED && SwingUtilities.isLeftMouseButton(e)) {
      selected();
    } else if (e.getID() == MouseEvent.MOUSE_PRESSED && SwingUtilities.isMiddleMouseButton(e)) {
      // The middle button pastes X's selection, as terminals do.
      if (input != null) input.pasteFrom(Toolkit.getDefaultToolkit().getSystemSelection());
    }
    super.processMouseEvent(e);
  }

  @Override
  protected void processMouseMotionEvent(MouseEvent e) {
    if (e.getID() == MouseEvent.MOUSE_DRAGGED && SwingUtilities.isLeftMouseButton(e) && anchorLine >= 0) {
      long[] at = cellAt(e.getPoint());
      headLine = at[0];
      headCell = (int) at[1];
      if (e.getY() < 0) scrollRows(-1);
      else if (e.getY() > getHeight()) scrollRows(1);
      repaint();
    }
    super.processMouseMotionEvent(e);
  }

  @Override
  protected void processMouseWheelEvent(MouseWheelEvent e) {
    if (e.isControlDown()) {
      zoom(e.getWheelRotation() < 0 ? 1 : -1);
    } else {
      scrollRows(3L * e.getWheelRotation());
    }
    e.consume();
  }

  @Override
  protected void processKeyEvent(java.awt.event.KeyEvent e) {
    keys.accept(e);
    if (!e.isConsumed()) super.processKeyEvent(e);
  }

  /** A word, or with `whole` the line, around a cell. */
  private void selectAround(long[] at, boolean whole) {
    lock.lock();
    try {
      String shown = cellText(at[0]);
      int from = (int) Math.min(at[1], shown.length()), to = from;
      if (whole) {
        from = 0;
        to = shown.length();
      } else {
        while (from > 0 && isWordChar(shown.charAt(from - 1))) --from;
        while (to < shown.length() && isWordChar(shown.charAt(to))) ++to;
      }
      anchorLine = headLine = at[0];
      anchorCell = from;
      headCell = to;
    } finally {
      lock.unlock();
    }
  }

  private static boolean isWordChar(char c) {
    return Character.isLetterOrDigit(c) || c == '_';
  }

  /** A selection made: within the typed line it is the typed line's; X gets it too. */
  private void selected() {
    String text = selectedText();
    if (text == null) return;
    long[] range = selectionRange();
    lock.lock();
    boolean inInput;
    int from = 0, to = 0;
    try {
      inInput =
          input != null
              && inputShown
              && range[0] == cursorLine
              && range[2] == cursorLine
              && range[1] >= cursorCol
              && range[3] <= cursorCol + inputCells;
      if (inInput) {
        from = (int) range[1] - cursorCol;
        to = (int) range[3] - cursorCol;
      }
    } finally {
      lock.unlock();
    }
    if (inInput) {
      input.select(typedIndexAt(from), typedIndexAt(to));
      clearSelection();
    }
    java.awt.datatransfer.Clipboard x = Toolkit.getDefaultToolkit().getSystemSelection();
    if (x != null) {
      java.awt.datatransfer.StringSelection selection =
          new java.awt.datatransfer.StringSelection(text);
      x.setContents(selection, selection);
    }
  }

  // ---------------------------------------------------------------------
  // Lines printers have not finished: shown once they have waited a little.

  /** A printer holds an unfinished line: it shows soon, unless finished first. Any thread. */
  void flushLater() {
    synchronized (scheduled) {
      if (holder == Thread.currentThread()) {
        tailHeld = true;
        return;
      }
    }
    EventQueue.invokeLater(
        () -> {
          if (tails == null) {
            tails = new javax.swing.Timer(15, e -> flushTails(false));
            tails.setRepeats(false);
          }
          // Most lines end, or are flushed, before this runs: then no timer.
          if (!tails.isRunning() && anyTail()) tails.start();
        });
  }

  private boolean anyTail() {
    synchronized (printers) {
      for (ConsolePrinter printer : printers) if (printer.hasTail()) return true;
    }
    return false;
  }

  /**
   * Before `writer` writes: the other printers' unfinished lines show first,
   * so that what the streams print comes in the order it was written, as
   * on a terminal.
   */
  void flushTailsBefore(ConsolePrinter writer) {
    ConsolePrinter[] each;
    synchronized (printers) {
      if (printers.size() < 2) return;
      each = printers.toArray(new ConsolePrinter[0]);
    }
    for (ConsolePrinter printer : each) if (printer != writer) printer.flushTail(true);
  }

  /** Shows the printers' unfinished lines: all of them, or those that waited. */
  void flushTails(boolean all) {
    List<ConsolePrinter> each;
    synchronized (printers) {
      each = new ArrayList<>(printers);
    }
    boolean left = false;
    for (ConsolePrinter printer : each) left |= printer.flushTail(all);
    if (left && EventQueue.isDispatchThread() && tails != null) tails.restart();
  }
}
