package tp1;

public class Bareme {
  public static final int MAX = 20;

  static String mention(double note) {
    return note >= 16 ? "TB" : note >= 14 ? "B" : note >= 12 ? "AB" : note >= 10 ? "P" : "-";
  }

  public static String appreciation(double note) {
    return mention(note) + " (" + note + "/" + MAX + ")";
  }
}
