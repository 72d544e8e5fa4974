import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStream;
import java.io.InputStreamReader;
import java.io.InterruptedIOException;
import java.io.Reader;
import java.io.UncheckedIOException;

/**
 * Keyboard lines, without the checked exception of BufferedReader: from
 * standard input, or from the window's canvas. It is a Reader as well, so a
 * Scanner or a BufferedReader can be built on it.
 */
public class ConsoleReader extends Reader {
  private final BufferedReader stream;
  private final CurseurCanvasConsole typed;
  // What read() has not yet taken of the window's current line, its line end included.
  private String rest = "";
  private int restAt;

  /** Lines from `source`, in the platform's charset. */
  public ConsoleReader(InputStream source) {
    stream = new BufferedReader(new InputStreamReader(source));
    typed = null;
  }

  /** Lines typed in the window. */
  public ConsoleReader(CurseurCanvasConsole typed) {
    stream = null;
    this.typed = typed;
  }

  /** The next line without its line end, or null at the end of input. */
  public String readLine() {
    try {
      if (stream != null) return stream.readLine();
      synchronized (lock) {
        if (restAt < rest.length()) {
          // The rest of a line that read() began.
          String line = rest.substring(restAt, rest.length() - 1);
          restAt = rest.length();
          return line;
        }
        return next();
      }
    } catch (IOException e) {
      throw new UncheckedIOException(e);
    }
  }

  /**
   * A line read without showing it, a password: in the window nothing of it
   * shows; from a terminal, the terminal does not echo it. Null at the end
   * of input.
   */
  public String readHidden() {
    if (stream == null) {
      typed.hiding(true);
      try {
        return readLine();
      } finally {
        typed.hiding(false);
      }
    }
    java.io.Console terminal = System.console();
    if (terminal == null) return readLine();
    synchronized (lock) {
      char[] secret = terminal.readPassword();
      return secret == null ? null : new String(secret);
    }
  }

  /** At most the rest of one line, as a console's reader hands out. */
  @Override
  public int read(char[] buffer, int offset, int length) throws IOException {
    if (offset < 0 || length < 0 || length > buffer.length - offset)
      throw new IndexOutOfBoundsException();
    if (length == 0) return 0;
    if (stream != null) {
      synchronized (lock) {
        int n = 0;
        while (n < length) {
          int c = stream.read();
          if (c < 0) break;
          buffer[offset + n++] = (char) c;
          if (c == '\n') break;
        }
        return n == 0 ? -1 : n;
      }
    }
    synchronized (lock) {
      if (restAt == rest.length()) {
        String line = next();
        if (line == null) return -1;
        rest = line + "\n";
        restAt = 0;
      }
      int n = Math.min(length, rest.length() - restAt);
      rest.getChars(restAt, restAt + n, buffer, offset);
      restAt += n;
      return n;
    }
  }

  @Override
  public boolean ready() throws IOException {
    if (stream != null) return stream.ready();
    synchronized (lock) {
      return restAt < rest.length() || typed.waiting() > 0;
    }
  }

  /** Nothing to release: the console's input lasts as long as the program. */
  @Override
  public void close() {}

  private String next() throws IOException {
    try {
      return typed.takeLine();
    } catch (InterruptedException e) {
      Thread.currentThread().interrupt();
      throw new InterruptedIOException("interrupted while waiting for a line");
    }
  }
}
