/** The console's drawing surface; headless, it only counts columns and rows. */
public class CanvasConsole {
  protected int columns = 80;
  protected int rows = 25;

  public int getColumns() {
    return columns;
  }

  public int getRows() {
    return rows;
  }
}
