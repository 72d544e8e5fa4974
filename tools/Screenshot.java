import java.awt.Rectangle;
import java.awt.Robot;
import java.io.File;
import javax.imageio.ImageIO;

/** java Screenshot.java X Y WIDTH HEIGHT FILE.png: that part of the screen, as a PNG. */
public class Screenshot {
  public static void main(String[] args) throws Exception {
    Rectangle area =
        new Rectangle(
            Integer.parseInt(args[0]),
            Integer.parseInt(args[1]),
            Integer.parseInt(args[2]),
            Integer.parseInt(args[3]));
    if (!ImageIO.write(new Robot().createScreenCapture(area), "png", new File(args[4])))
      throw new IllegalStateException("no PNG writer");
  }
}
