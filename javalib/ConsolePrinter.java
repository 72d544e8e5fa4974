import java.io.ByteArrayOutputStream;
import java.io.OutputStream;
import java.io.PrintStream;
import java.io.UnsupportedEncodingException;
import java.nio.ByteBuffer;
import java.nio.CharBuffer;
import java.nio.charset.CharsetDecoder;
import java.nio.charset.CodingErrorAction;
import java.nio.charset.StandardCharsets;

/**
 * Everything System.out offers, flushed at each line so that prompts show.
 *
 * <p>Over a stream it is a plain PrintStream. Onto a canvas, the text is
 * encoded in UTF-8 and decoded again here, whatever the platform's charset, so
 * any character prints as it is; a copy can go to another stream too, so what
 * System.err prints still reaches a terminal when there is one.
 */
public class ConsolePrinter extends PrintStream {
  private final CanvasConsole canvas;
  private final PrintStream copy;
  private final CharsetDecoder decoder;
  private final ByteBuffer bytes;
  private final CharBuffer chars;

  /** A plain printer onto `target`. */
  public ConsolePrinter(OutputStream target) {
    super(target, true);
    canvas = null;
    copy = null;
    decoder = null;
    bytes = null;
    chars = null;
  }

  /** A printer onto the canvas, and onto `copy` too unless it is null. */
  public ConsolePrinter(CanvasConsole canvas, PrintStream copy)
      throws UnsupportedEncodingException {
    // The stream given here is only ever flushed: every write is overridden.
    super(copy != null ? copy : new ByteArrayOutputStream(0), true, "UTF-8");
    this.canvas = canvas;
    this.copy = copy;
    decoder =
        StandardCharsets.UTF_8
            .newDecoder()
            .onMalformedInput(CodingErrorAction.REPLACE)
            .onUnmappableCharacter(CodingErrorAction.REPLACE);
    bytes = ByteBuffer.allocate(8192);
    chars = CharBuffer.allocate(8192);
  }

  @Override
  public void write(int b) {
    if (canvas == null) {
      super.write(b);
      return;
    }
    write(new byte[] {(byte) b}, 0, 1);
  }

  @Override
  public void write(byte[] buffer, int offset, int length) {
    if (canvas == null) {
      super.write(buffer, offset, length);
      return;
    }
    if (offset < 0 || length < 0 || length > buffer.length - offset)
      throw new IndexOutOfBoundsException();
    synchronized (this) {
      // A character split between two writes waits in `bytes` for its end.
      while (length > 0) {
        int n = Math.min(length, bytes.remaining());
        bytes.put(buffer, offset, n);
        offset += n;
        length -= n;
        bytes.flip();
        while (decoder.decode(bytes, chars, false).isOverflow()) emit();
        emit();
        bytes.compact();
      }
    }
  }

  private void emit() {
    chars.flip();
    if (chars.hasRemaining()) {
      String text = chars.toString();
      canvas.output(text);
      if (copy != null) copy.print(text);
    }
    chars.clear();
  }

  @Override
  public void close() {
    // The window's printers outlive any one user: closing only flushes.
    if (canvas == null) super.close();
    else flush();
  }
}
