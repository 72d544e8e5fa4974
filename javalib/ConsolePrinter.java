import java.io.ByteArrayOutputStream;
import java.io.OutputStream;
import java.io.PrintStream;
import java.io.UnsupportedEncodingException;
import java.nio.ByteBuffer;
import java.nio.CharBuffer;
import java.nio.charset.Charset;
import java.nio.charset.CharsetDecoder;
import java.nio.charset.StandardCharsets;
import java.nio.charset.CodingErrorAction;

/**
 * Everything System.out offers, flushed at each line so that prompts show.
 *
 * <p>Over a stream it is a plain PrintStream. Onto a canvas it is the
 * terminal: what is printed is read as a terminal reads it, control
 * characters and escape sequences included, and turned into changes of the
 * canvas's text. A carriage return goes back to the line's start, a
 * backspace back a cell, a tab on to the next multiple of eight, a form feed
 * starts a new page, BEL rings; the escape sequences of xterm's screen set
 * colours (24-bit ones too), move, save and restore the cursor, insert,
 * delete and erase characters and lines, erase the screen in place and
 * switch to the alternate screen and back; any other sequence is
 * swallowed, never drawn.
 *
 * <p>Lines are whole: a line's end and what came before it reach the canvas
 * together, so lines printed at the same time through different printers
 * never merge. A line not yet ended shows once it has waited a little, when
 * the program flushes, or when it reads (a prompt).
 *
 * <p>Any character prints as it is: text printed goes to the canvas as text,
 * and bytes written (a PrintWriter or an OutputStreamWriter on System.out)
 * are decoded with the charset Java encoded them with, its default one; a
 * copy can go to another stream too, so what System.err prints still
 * reaches a terminal.
 *
 * <p>When the program runs in a process of its own (see FrameConsole), it
 * carries the program's System.err and what the window must know on the
 * program's standard output, between marks, and in the window's process
 * relays that pipe to the canvas.
 */
public class ConsolePrinter extends PrintStream {
  /** An unfinished line longer than this shows at once. */
  private static final int MAX_TAIL = 1 << 16;
  /**
   * How long an unfinished line waits for its end before it shows: long
   * enough that the pieces of a line printed piece by piece come together,
   * short enough that a counter redrawn in place still moves.
   */
  private static final long TAIL_WAIT = 50_000_000L;
  /** Escape sequences longer than this are swallowed whole. */
  private static final int MAX_SEQUENCE = 64;

  private final CanvasConsole canvas;
  private final PrintStream copy;
  private final FrameConsole window;
  private final int kind;
  private CharsetDecoder decoder;
  // In a program's own process under a window's (see FrameConsole): the
  // stream System.out writes to, which this printer's bytes join, marked.
  private final PrintStream band;
  private final ByteBuffer bytes;
  private final CharBuffer chars;

  // The line not yet ended, and since when it waits.
  private final Object tailLock = new Object();
  private final StringBuilder tail = new StringBuilder();
  private long tailSince;

  // The terminal's state: the style set, and a sequence being read.
  private int style;
  private int state;
  // Where ESC 7 left the cursor, and the style then.
  private int[] savedCursor;
  private int savedStyle;
  private final StringBuilder sequence = new StringBuilder();
  private static final int TEXT = 0;
  private static final int ESCAPE = 1;  // after ESC
  private static final int CSI = 2;  // after ESC [
  private static final int STRING = 3;  // an OSC, DCS, ... string, up to BEL or ESC \
  private static final int ONE_MORE = 4;  // ESC ( and the like take one more character

  /** A plain printer onto `target`. */
  public ConsolePrinter(OutputStream target) {
    super(target, true);
    canvas = null;
    copy = null;
    window = null;
    kind = 0;
    decoder = null;
    bytes = null;
    chars = null;
    band = null;
  }

  /**
   * A printer in `charset` onto `sink`, standard output in a program's
   * process whose window is another's: with `errors`, System.err, whose
   * bytes go between marks, so that the window tells them apart and shows
   * both streams in the order they were written.
   */
  private ConsolePrinter(PrintStream sink, Charset charset, boolean errors)
      throws UnsupportedEncodingException {
    super(sink, true, charset.name());
    canvas = null;
    copy = null;
    window = null;
    kind = 0;
    decoder = null;
    bytes = null;
    chars = null;
    band = errors ? sink : null;
  }

  /**
   * A printer onto the canvas, writing as `kind` (CanvasConsole.OUTPUT or
   * ERROR), and onto `copy` too unless it is null; `window` hears of a
   * failure the Java launcher reports.
   */
  public ConsolePrinter(CanvasConsole canvas, PrintStream copy, int kind, FrameConsole window)
      throws UnsupportedEncodingException {
    // The stream given here is only ever flushed: every write is overridden.
    super(copy != null ? copy : new ByteArrayOutputStream(0), true, "UTF-8");
    this.canvas = canvas;
    this.copy = copy;
    this.window = window;
    this.kind = kind;
    this.band = null;
    style = CanvasConsole.PLAIN | kind;
    decodeWith(Charset.defaultCharset());
    bytes = ByteBuffer.allocate(8192);
    chars = CharBuffer.allocate(8192);
    canvas.addPrinter(this);
  }

  // ---------------------------------------------------------------------
  // What comes in: bytes, or text straight from print and println.

  /** Bytes written from now on are decoded with `charset`. */
  void decodeWith(Charset charset) {
    synchronized (this) {
      decoder =
          charset
              .newDecoder()
              .onMalformedInput(CodingErrorAction.REPLACE)
              .onUnmappableCharacter(CodingErrorAction.REPLACE);
    }
  }

  @Override
  public void write(int b) {
    if (canvas == null && band == null) {
      super.write(b);
      return;
    }
    write(new byte[] {(byte) b}, 0, 1);
  }

  @Override
  public void write(byte[] buffer, int offset, int length) {
    if (band != null) {
      synchronized (band) {
        band.write(ERRORS, 0, ERRORS.length);
        band.write(buffer, offset, length);
        band.write(OUTPUT, 0, OUTPUT.length);
      }
      return;
    }
    if (canvas == null) {
      super.write(buffer, offset, length);
      return;
    }
    if (offset < 0 || length < 0 || length > buffer.length - offset)
      throw new IndexOutOfBoundsException();
    synchronized (this) {
      if (copy != null) copy.write(buffer, offset, length);
      // A character split between two writes waits in `bytes` for its end.
      while (length > 0) {
        int n = Math.min(length, bytes.remaining());
        bytes.put(buffer, offset, n);
        offset += n;
        length -= n;
        bytes.flip();
        while (decoder.decode(bytes, chars, false).isOverflow()) decoded();
        decoded();
        bytes.compact();
      }
    }
  }

  private void decoded() {
    chars.flip();
    if (chars.hasRemaining()) emit(chars.toString());
    chars.clear();
  }

  /** Text printed, straight to the canvas (and the copy). */
  private void text(String text) {
    synchronized (this) {
      if (copy != null) copy.print(text);
      emit(text);
    }
  }

  /** A line printed: one piece, so that nothing comes between it and its end. */
  private void line(String text) {
    synchronized (this) {
      if (copy != null) copy.println(text);
      emit(text + "\n");
    }
  }

  /** Formatted in one piece, so that the pieces of one line come together. */
  @Override
  public PrintStream format(String format, Object... args) {
    if (canvas == null) return super.format(format, args);
    text(String.format(format, args));
    return this;
  }

  @Override
  public PrintStream format(java.util.Locale locale, String format, Object... args) {
    if (canvas == null) return super.format(locale, format, args);
    text(String.format(locale, format, args));
    return this;
  }

  @Override
  public void print(String s) {
    if (canvas == null) super.print(s);
    else text(String.valueOf(s));
  }

  @Override
  public void print(Object o) {
    if (canvas == null) super.print(o);
    else text(String.valueOf(o));
  }

  @Override
  public void print(char c) {
    if (canvas == null) super.print(c);
    else text(String.valueOf(c));
  }

  @Override
  public void print(char[] s) {
    if (canvas == null) super.print(s);
    else text(String.valueOf(s));
  }

  @Override
  public void print(int i) {
    if (canvas == null) super.print(i);
    else text(String.valueOf(i));
  }

  @Override
  public void print(long l) {
    if (canvas == null) super.print(l);
    else text(String.valueOf(l));
  }

  @Override
  public void print(double d) {
    if (canvas == null) super.print(d);
    else text(String.valueOf(d));
  }

  @Override
  public void print(float f) {
    if (canvas == null) super.print(f);
    else text(String.valueOf(f));
  }

  @Override
  public void print(boolean b) {
    if (canvas == null) super.print(b);
    else text(String.valueOf(b));
  }

  @Override
  public void println() {
    if (canvas == null) super.println();
    else line("");
  }

  @Override
  public void println(String s) {
    if (canvas == null) super.println(s);
    else line(String.valueOf(s));
  }

  @Override
  public void println(Object o) {
    if (canvas == null) {
      super.println(o);
      return;
    }
    if (o instanceof Throwable && window != null && reportedByLauncher()) {
      // The launcher's report of a main class that failed to set up starts
      // with this line on its own stream, where the window would miss it.
      window.failedBeforeMain();
      synchronized (this) {
        emit("Exception in thread \"" + Thread.currentThread().getName() + "\" ");
      }
    }
    line(String.valueOf(o));
  }

  @Override
  public void println(char c) {
    if (canvas == null) super.println(c);
    else line(String.valueOf(c));
  }

  @Override
  public void println(char[] s) {
    if (canvas == null) super.println(s);
    else line(String.valueOf(s));
  }

  @Override
  public void println(int i) {
    if (canvas == null) super.println(i);
    else line(String.valueOf(i));
  }

  @Override
  public void println(long l) {
    if (canvas == null) super.println(l);
    else line(String.valueOf(l));
  }

  @Override
  public void println(double d) {
    if (canvas == null) super.println(d);
    else line(String.valueOf(d));
  }

  @Override
  public void println(float f) {
    if (canvas == null) super.println(f);
    else line(String.valueOf(f));
  }

  @Override
  public void println(boolean b) {
    if (canvas == null) super.println(b);
    else line(String.valueOf(b));
  }

  /**
   * Whether a throwable is printed by the Java launcher itself (its trace
   * called from no Java code at all), as when the main class fails to set
   * up: then its first line went elsewhere, and the run has failed.
   */
  private static boolean reportedByLauncher() {
    StackTraceElement[] stack = Thread.currentThread().getStackTrace();
    StackTraceElement bottom = stack[stack.length - 1];
    return bottom.getClassName().equals("java.lang.Throwable")
        && bottom.getMethodName().equals("printStackTrace");
  }

  @Override
  public void flush() {
    super.flush();
    if (canvas != null) flushTail(true);
  }

  @Override
  public void close() {
    // The window's printers outlive any one user: closing only flushes.
    if (canvas == null) super.close();
    else flush();
  }

  // ---------------------------------------------------------------------
  // Between a program's process and the window's (see FrameConsole): the
  // program's System.out carries its System.err too, and what the window
  // must know, each between marks of the form ESC ] 7700 ; what BEL, a
  // string xterm would swallow.

  private static final String MARK = "\033]7700;";
  private static final byte[] MARK_BYTES = MARK.getBytes(StandardCharsets.US_ASCII);
  private static final byte[] ERRORS = (MARK + "e\007").getBytes(StandardCharsets.US_ASCII);
  private static final byte[] OUTPUT = (MARK + "o\007").getBytes(StandardCharsets.US_ASCII);
  private static final int MAX_MARK = 4096;
  private static PrintStream toWindow;

  /**
   * In the program's process: System.err joins standard output, and the
   * window hears which charset System.out writes in. Returns the printer
   * for Console.out, on standard output too, whatever System.out has
   * become (a program may have sent it to a file of its own).
   */
  static ConsolePrinter joinStreams() throws UnsupportedEncodingException {
    Charset charset = charsetOf(System.out);
    // Unbuffered, as System.out is at each print: the order written is kept.
    PrintStream sink =
        new PrintStream(new java.io.FileOutputStream(java.io.FileDescriptor.out), true, charset.name());
    synchronized (ConsolePrinter.class) {
      toWindow = sink;
    }
    tell("c" + charset.name());
    System.setErr(new ConsolePrinter(sink, charset, true));
    return new ConsolePrinter(sink, charset, false);
  }

  /**
   * Tells the window `what`, in the program's process: t and a title, h1
   * and h0 around a hidden read, x when main failed, m when memory ran out
   * there, c and a charset.
   */
  static void tell(String what) {
    PrintStream sink;
    synchronized (ConsolePrinter.class) {
      sink = toWindow;
    }
    if (sink == null) return;
    String mark = MARK + what.replaceAll("[\\x00-\\x1f\\x7f]", " ") + "\007";
    byte[] said = mark.getBytes(StandardCharsets.UTF_8);
    synchronized (sink) {
      sink.write(said, 0, said.length);
      sink.flush();
    }
  }

  /** The charset a standard stream's text is encoded in, on any Java. */
  static Charset charsetOf(PrintStream stream) {
    try {
      return (Charset) PrintStream.class.getMethod("charset").invoke(stream);  // Java 18
    } catch (ReflectiveOperationException | RuntimeException e) {
      for (String property : new String[] {"stdout.encoding", "sun.stdout.encoding"}) {
        String name = System.getProperty(property);
        try {
          if (name != null) return Charset.forName(name);
        } catch (RuntimeException unknown) {
          // The next one, then.
        }
      }
      return Charset.defaultCharset();
    }
  }

  /**
   * In the window's process: what the program's process writes to `from`,
   * to `out`, or to `errors` between the marks that say so; what the marks
   * tell, to `told`. Returns at the end of the stream.
   */
  static void relay(
      java.io.InputStream from,
      ConsolePrinter out,
      ConsolePrinter errors,
      java.util.function.Consumer<String> told)
      throws java.io.IOException {
    byte[] chunk = new byte[8192];
    ByteArrayOutputStream run = new ByteArrayOutputStream();
    ByteArrayOutputStream mark = new ByteArrayOutputStream();
    int matched = 0;  // bytes of MARK_BYTES met so far
    ConsolePrinter target = out;
    for (int n; (n = from.read(chunk)) > 0; ) {
      // What one read brings is one change of the window: a frame of a
      // game is painted once.
      out.canvas.hold();
      try {
        for (int i = 0; i < n; ++i) {
          byte b = chunk[i];
          if (matched == 0 && b != MARK_BYTES[0]) {
            // Text up to the next byte that may start a mark, in one piece.
            int end = i + 1;
            while (end < n && chunk[end] != MARK_BYTES[0]) ++end;
            run.write(chunk, i, end - i);
            i = end - 1;
          } else if (matched == MARK_BYTES.length) {
            if (b != 7) {
              if (mark.size() < MAX_MARK) mark.write(b);
              continue;
            }
            target.write(run.toByteArray(), 0, run.size());
            run.reset();
            String what = new String(mark.toByteArray(), StandardCharsets.UTF_8);
            mark.reset();
            matched = 0;
            if (what.equals("e")) target = errors;
            else if (what.equals("o")) target = out;
            else told.accept(what);
          } else if (b == MARK_BYTES[matched]) {
            ++matched;
          } else {
            // Not a mark after all: what looked like one is text.
            run.write(MARK_BYTES, 0, matched);
            matched = b == MARK_BYTES[0] ? 1 : 0;
            if (matched == 0) run.write(b);
          }
        }
        if (run.size() > 0) {
          target.write(run.toByteArray(), 0, run.size());
          run.reset();
        }
        // The program has written all it has for now: show it, as a terminal
        // would, its last line too. (A read short of the chunk took all the
        // pipe held, and saves asking.)
        if (n < chunk.length || from.available() == 0) {
          out.flush();
          errors.flush();
        }
      } finally {
        out.canvas.release();
      }
    }
    run.write(MARK_BYTES, 0, matched < MARK_BYTES.length ? matched : 0);
    if (run.size() > 0) target.write(run.toByteArray(), 0, run.size());
    out.flush();
    errors.flush();
  }

  // ---------------------------------------------------------------------
  // Whole lines to the canvas; the unfinished one waits a little.

  private void emit(String text) {
    canvas.flushTailsBefore(this);
    synchronized (tailLock) {
      tail.append(text);
      // Only what came now can hold a new line end: a line redrawn after \r
      // a hundred thousand times costs no search of all of them.
      int at = text.lastIndexOf('\n');
      int end = at < 0 ? 0 : tail.length() - text.length() + at + 1;
      if (end == 0 && tail.length() >= MAX_TAIL) end = tail.length();
      if (end > 0) {
        show(tail, end);
        tail.delete(0, end);
        tailSince = 0;
      }
      if (tail.length() > 0 && tailSince == 0) {
        tailSince = System.nanoTime();
        canvas.flushLater();
      }
    }
  }

  /** Whether a line not yet ended waits. */
  boolean hasTail() {
    synchronized (tailLock) {
      return tail.length() > 0;
    }
  }

  /**
   * Shows the unfinished line: at once with `all`, else once it has waited.
   * Returns whether one is left waiting.
   */
  boolean flushTail(boolean all) {
    synchronized (tailLock) {
      if (tail.length() == 0) return false;
      if (!all && System.nanoTime() - tailSince < TAIL_WAIT) return true;
      show(tail, tail.length());
      tail.setLength(0);
      tailSince = 0;
      return false;
    }
  }

  private void show(CharSequence text, int end) {
    canvas.lock.lock();
    try {
      emulate(text, end);
    } finally {
      canvas.lock.unlock();
    }
    canvas.changed();
  }

  // ---------------------------------------------------------------------
  // The terminal. With the canvas's lock.

  private void emulate(CharSequence text, int end) {
    char[] run = new char[Math.min(end, 8192)];
    int size = 0;
    for (int i = 0; i < end; ++i) {
      char c = text.charAt(i);
      if (state == TEXT && c >= ' ' && c != 0x7f && (c < 0x80 || c > 0x9f)) {
        if (size == run.length) {
          canvas.put(run, 0, size, style);
          size = 0;
        }
        run[size++] = c;
        continue;
      }
      if (size > 0) {
        canvas.put(run, 0, size, style);
        size = 0;
      }
      control(c);
    }
    if (size > 0) canvas.put(run, 0, size, style);
  }

  private void control(char c) {
    switch (state) {
      case ESCAPE:
        escape(c);
        return;
      case CSI:
        if (c >= 0x40 && c <= 0x7e) {
          state = TEXT;
          csi(c, sequence.toString());
        } else if (sequence.length() < MAX_SEQUENCE && c >= 0x20 && c < 0x40) {
          sequence.append(c);
        } else if (c < 0x20 || sequence.length() >= MAX_SEQUENCE) {
          if (c == 0x1b) state = ESCAPE;
          else if (c == 0x18 || c == 0x1a) state = TEXT;  // CAN, SUB cancel it
        }
        return;
      case STRING:
        if (c == 0x07) state = TEXT;
        else if (c == 0x1b) state = ESCAPE;
        return;
      case ONE_MORE:
        state = TEXT;
        return;
      default:
        break;
    }
    switch (c) {
      case '\n':
        canvas.lineFeed();
        break;
      case '\r':
        canvas.carriageReturn();
        break;
      case '\b':
        canvas.backspace();
        break;
      case '\t':
        canvas.tab();
        break;
      case '\f':
        canvas.newPage();
        break;
      case 0x07:
        canvas.bell();
        break;
      case 0x1b:
        state = ESCAPE;
        break;
      default:
        break;  // not drawn
    }
  }

  private void escape(char c) {
    state = TEXT;
    switch (c) {
      case '[':
        state = CSI;
        sequence.setLength(0);
        break;
      case ']':
      case 'P':
      case '_':
      case '^':
      case 'X':
        state = STRING;
        break;
      case 'c':  // a full reset
        style = CanvasConsole.PLAIN | kind;
        canvas.alternateScreen(false, false);
        canvas.showCaret(true);
        canvas.scrollRegion(0, 0);
        canvas.clearScreen(false);
        canvas.cursorTo(1, 1);
        break;
      case '7':
        saveCursor();
        break;
      case 'M':
        canvas.reverseIndex();
        break;
      case '8':
        restoreCursor();
        break;
      case '\\':
        break;  // the end of a string
      default:
        // ESC 7, ESC = and the like are swallowed here; ESC ( B, ESC # 8 one later.
        if (c == '(' || c == ')' || c == '*' || c == '+' || c == '#' || c == '%') state = ONE_MORE;
        break;
    }
  }

  private void csi(char command, String parameters) {
    if (!parameters.isEmpty() && parameters.charAt(0) == '?' && (command == 'h' || command == 'l')) {
      privateMode(numbers(parameters.substring(1)), command == 'h');
      return;
    }
    if (!parameters.isEmpty() && parameters.charAt(0) >= '<' && command != 'm') return;
    int[] p = numbers(parameters);
    int n = Math.max(1, p[0]);
    switch (command) {
      case '@':
        canvas.insertBlanks(n);
        break;
      case 'P':
        canvas.deleteChars(n);
        break;
      case 'X':
        canvas.eraseChars(n);
        break;
      case 'L':
        canvas.insertLines(n);
        break;
      case 'M':
        canvas.deleteLines(n);
        break;
      case 's':
        saveCursor();
        break;
      case 'r':
        canvas.scrollRegion(p[0], p.length > 1 ? p[1] : 0);
        break;
      case 'u':
        restoreCursor();
        break;
      case 'm':
        if (parameters.isEmpty() || parameters.charAt(0) < '<') sgr(p);
        break;
      case 'J':
        canvas.eraseInDisplay(p[0]);
        break;
      case 'K':
        canvas.eraseInLine(p[0]);
        break;
      case 'H':
      case 'f':
        canvas.cursorTo(Math.max(1, p[0]), Math.max(1, p.length > 1 ? p[1] : 1));
        break;
      case 'A':
        canvas.cursorBy(-Math.max(1, p[0]), 0);
        break;
      case 'B':
        canvas.cursorBy(Math.max(1, p[0]), 0);
        break;
      case 'C':
        canvas.cursorBy(0, Math.max(1, p[0]));
        break;
      case 'D':
        canvas.cursorBy(0, -Math.max(1, p[0]));
        break;
      case 'G':
        canvas.cursorTo(0, Math.max(1, p[0]));
        break;
      default:
        break;  // swallowed
    }
  }

  /** ESC[?n h and l: the alternate screen and the caret; others are swallowed. */
  private void privateMode(int[] modes, boolean set) {
    for (int mode : modes) {
      if (mode == 1049 || mode == 1047 || mode == 47) canvas.alternateScreen(set, mode == 1049);
      else if (mode == 25) canvas.showCaret(set);
    }
  }

  /** ESC 7 and CSI s: the cursor's place on the screen and the style, for ESC 8 and CSI u. */
  private void saveCursor() {
    savedCursor = canvas.cursorOnScreen();
    savedStyle = style;
  }

  private void restoreCursor() {
    if (savedCursor == null) {
      canvas.cursorTo(1, 1);
      return;
    }
    canvas.cursorTo(savedCursor[0] + 1, savedCursor[1] + 1);
    style = savedStyle;
  }

  /** The numbers of a sequence, 0 for those left out; at least one. */
  private static int[] numbers(String parameters) {
    int count = 1;
    for (int k = 0; k < parameters.length(); ++k) if (isSeparator(parameters.charAt(k))) ++count;
    int[] numbers = new int[count];
    int i = 0;
    for (int k = 0; k < parameters.length(); ++k) {
      char c = parameters.charAt(k);
      if (isSeparator(c)) ++i;
      else if (c >= '0' && c <= '9' && numbers[i] < 100000) numbers[i] = numbers[i] * 10 + (c - '0');
    }
    return numbers;
  }

  private static boolean isSeparator(char c) {
    return c == ';' || c == ':';
  }

  /** Select Graphic Rendition: colours and bold. */
  private void sgr(int[] p) {
    for (int i = 0; i < p.length; ++i) {
      int n = p[i];
      if (n == 0) {
        style = CanvasConsole.PLAIN | kind;
      } else if (n == 1) {
        style |= CanvasConsole.BOLD;
      } else if (n == 22) {
        style &= ~CanvasConsole.BOLD;
      } else if (n == 4) {
        style |= CanvasConsole.UNDERLINE;
      } else if (n == 24) {
        style &= ~CanvasConsole.UNDERLINE;
      } else if (n == 7) {
        style |= CanvasConsole.INVERSE;
      } else if (n == 27) {
        style &= ~CanvasConsole.INVERSE;
      } else if (n >= 30 && n <= 37) {
        foreground(n - 30);
      } else if (n == 39) {
        foreground(CanvasConsole.DEFAULT_COLOUR);
      } else if (n >= 40 && n <= 47) {
        background(n - 40);
      } else if (n == 49) {
        background(CanvasConsole.DEFAULT_COLOUR);
      } else if (n >= 90 && n <= 97) {
        foreground(n - 90 + 8);
      } else if (n >= 100 && n <= 107) {
        background(n - 100 + 8);
      } else if ((n == 38 || n == 48) && i + 1 < p.length) {
        int colour = -1;
        if (p[i + 1] == 5 && i + 2 < p.length) {
          colour = Math.min(255, p[i + 2]);
          i += 2;
        } else if (p[i + 1] == 2 && i + 4 < p.length) {
          colour =
              CanvasConsole.trueColour(
                  Math.min(255, p[i + 2]), Math.min(255, p[i + 3]), Math.min(255, p[i + 4]));
          i += 4;
        } else {
          i = p.length;
        }
        if (colour >= 0) {
          if (n == 38) foreground(colour);
          else background(colour);
        }
      }
    }
  }

  private void foreground(int colour) {
    style = (style & ~0x1ff) | colour;
  }

  private void background(int colour) {
    style = (style & ~(0x1ff << CanvasConsole.BG_SHIFT)) | (colour << CanvasConsole.BG_SHIFT);
  }
}
