package modele;

import tp1.Bareme;

public class Etudiant {
  private final String nom;
  private final double note;

  public Etudiant(String nom, double note) {
    if (note < 0 || note > Bareme.MAX)
      throw new IllegalArgumentException("note hors bareme : " + note);
    this.nom = nom;
    this.note = note;
  }

  public double getNote() {
    return note;
  }

  @Override
  public String toString() {
    return nom + " : " + Bareme.appreciation(note);
  }
}
