/** The console's window; headless, so it only holds its title. */
public class FrameConsole {
  private String title = "";
  private final CanvasConsole canvas = new CurseurCanvasConsole();

  public void setTitle(String newTitle) {
    title = newTitle == null ? "" : newTitle;
  }

  public String getTitle() {
    return title;
  }

  public CanvasConsole getCanvas() {
    return canvas;
  }
}
