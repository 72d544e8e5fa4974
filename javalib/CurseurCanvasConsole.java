/** A canvas with a text cursor. */
public class CurseurCanvasConsole extends CanvasConsole {
  private int column;
  private int row;

  public void moveCursor(int newColumn, int newRow) {
    column = Math.max(0, Math.min(newColumn, columns - 1));
    row = Math.max(0, Math.min(newRow, rows - 1));
  }

  public int getCursorColumn() {
    return column;
  }

  public int getCursorRow() {
    return row;
  }
}
