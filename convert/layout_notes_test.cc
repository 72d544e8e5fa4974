#include "convert/layout_notes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/test_support.h"

namespace convert {
namespace {

namespace fs = std::filesystem;

std::string notes(const std::string& source, const std::string& from = "Hello",
                  const std::string& to = "Hello") {
  std::string all;
  for (const Note& note : layout_notes(source, from, to).all())
    all += std::to_string(note.line) + ": " + note.text + "\n";
  return all;
}

std::string crlf(std::string text) {
  for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
    text.insert(at, "\r");
  return text;
}

const std::string kField =
    "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\n";

TEST(LayoutNotes, NothingWhenTheSourceFitsTheLayout) {
  for (const char* name : {"Greeter", "Calculator", "Quiz"}) {
    const std::string source = testutil::read_file(fs::path(CONSOLETOOLS_SOURCE_DIR) / "examples" /
                                                   (std::string(name) + ".java"));
    EXPECT_EQ(notes(source, name, name), "") << name;
    EXPECT_EQ(notes(source, name, std::string(name) + "EnConsole"), "") << name;
  }
}

TEST(LayoutNotes, EachStrayIsNamedAtItsLine) {
  const std::string main = "  public static void main(String[] args) throws IOException {\n";
  const std::string body = "    System.out.println(flux.readLine());\n  }\n}\n";
  const std::pair<std::string, std::string> cases[] = {
      {"import java.io.*;\n\nclass Hello {\n" + kField + main + body,
       "1: this line ends in LF, not CR LF"},
      {crlf("import java.io.*;\n\nclass Hello {\n\tstatic BufferedReader flux = new "
            "BufferedReader(new InputStreamReader(System.in));\n" +
            main + body),
       "4: the reader flux is declared here indented by a tab"},
      {crlf("import java.io.*;\n\nclass Hello {\n  private static BufferedReader flux = new "
            "BufferedReader(new InputStreamReader(System.in));\n" +
            main + body),
       "4: the reader flux is declared here with the modifiers \"private static\""},
      {crlf("import java.io.*;\n\nclass Hello {\n" + main +
            "    BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\n" +
            body),
       "5: the reader flux is declared here inside a method"},
      {crlf("import java.io.*;\nimport java.util.*;\n\nclass Hello {\n" + kField + main + body),
       "1: import java.io.* is not followed by an empty line, so it stays"},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField +
            "  public static void main(String args[]) {\n" + body),
       "5: the main method's header does not end in \" args) {\""},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField + "  static void f(int args) {\n  }\n" +
            main + body),
       "5: the title goes into this method, whose header ends like the expected main header, "
       "not into main (line 7)"},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField +
            "  static void log() throws IOException {\n    new FileWriter(\"f\").close();\n  }\n" +
            main + body),
       "5: throws IOException goes from log, which still does input or output that throws it"},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField + main +
            "    try { flux.readLine(); } catch (IOException e) { }\n" + body),
       "6: once the reads go to the console nothing in this try throws IOException"},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField +
            "  static int f() throws IOException, NumberFormatException {\n    return 1;\n  }\n" +
            main + body),
       "5: removing \" throws IOException\" from f leaves \", NumberFormatException\" behind, "
       "which javac rejects"},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField +
            "  static BufferedReader clavier = new BufferedReader(new "
            "InputStreamReader(System.in));\n" +
            main + body),
       "5: the reader clavier reads System.in, and only flux is taken to the console"},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField + main +
            "    int n = new java.util.Scanner(System.in).nextInt();\n" + body),
       "6: this Scanner reads System.in, which stays as it is"},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField + main +
            "    InputStream in = System.in;\n" + body),
       "6: System.in is read here directly; it stays as it is, and the console window feeds it "
       "once it is open"},
      // Set before main runs, so before the window is there to feed it.
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField +
            "  static java.util.Scanner sc = new java.util.Scanner(System.in);\n" + main + body),
       "5: this Scanner of System.in is made before main sets up the console window: it reads "
       "standard input, which the window does not feed"},
      {crlf("package fr.tp;\n\nimport java.io.*;\n\nclass Hello {\n" + kField + main + body),
       "1: this file is in the package fr.tp: the converted class stays there, where it cannot "
       "see the console library"},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField + main +
            "    String nom = System.console().readLine();\n" + body),
       "6: System.console() is null in the console window, as wherever no terminal is"},
      {crlf("import java.io.*;\n\nclass Hello {\n" + kField + main +
            "    String s = \\u0066lux.readLine();\n" + body),
       "6: flux is spelled here with a Unicode escape, which the byte patterns do not match"},
  };
  for (const auto& [source, expected] : cases) {
    const std::string got = notes(source);
    EXPECT_EQ(got.rfind(expected, 0), 0u) << got;
    EXPECT_EQ(std::count(got.begin(), got.end(), '\n'), 1) << got;
    EXPECT_NE(got.find("; try --lenient\n"), std::string::npos);
  }
}

// Whatever the mode: the converters take the class name from the file's.
TEST(LayoutNotes, AClassNamedOtherwiseThanItsFile) {
  EXPECT_EQ(notes(crlf("import java.io.*;\n\nclass Bonjour {\n" + kField +
                       "  public static void main(String[] args) throws IOException {\n"
                       "    System.out.println(flux.readLine());\n  }\n}\n")),
            "3: this file holds the class Bonjour, not Hello as its name says, and the converters "
            "take the class name from the file's: rename the file Bonjour.java, or the class "
            "Hello\n");
}

// Lines are counted one way everywhere: a lone CR ends one too, so the
// title's line is main's own.
TEST(LayoutNotes, ALoneCarriageReturnEndsALineForTheNotesToo) {
  const std::string source = crlf("import java.io.*;\n\nclass Hello {\n" + kField) +
                             "  // a comment\r" +
                             crlf(
                                 "  public static void main(String[] args) throws IOException {\n"
                                 "    System.out.println(flux.readLine());\n  }\n}\n");
  EXPECT_EQ(notes(source), "");
}

TEST(LayoutNotes, ThePackagersRenamingInsideOtherNamesAndText) {
  const std::string source = crlf(
      "class Buffer {\n  BufferedReader r;\n  String s = \"Buffer\" + \"a Buffer\";\n"
      "  String t = \"My Buffer\";\n}\n");
  EXPECT_EQ(notes(source, "Buffer", "BufferEnConsole"),
            "2: the class name Buffer is renamed inside BufferedReader too, which javac will not "
            "know; try --lenient\n"
            "3: the class name Buffer is renamed inside this string (and in 1 more places), which "
            "changes what the program prints; try --lenient\n");
  EXPECT_EQ(notes(source, "Buffer", "Buffer"), "");
}

}  // namespace
}  // namespace convert
