#include "convert/lenient.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "convert/rewrite.h"
#include "java/source.h"
#include "platform/test_support.h"

namespace convert {
namespace {

namespace fs = std::filesystem;

struct Converted {
  std::string text;
  std::vector<Note> notes;
  std::string trace;
};

// The trace lines must follow the text: each gives the length before its
// change, positions only move forward, and the lengths add up.
void expect_trace_follows(const std::string& source, const Converted& result) {
  std::istringstream lines(result.trace);
  size_t length = source.size(), next = 0, count = 0;
  size_t len, pos, old_length, new_length;
  while (lines >> len >> pos >> old_length >> new_length) {
    ++count;
    ASSERT_EQ(len, length) << "change " << count;
    ASSERT_GE(pos, next) << "change " << count;
    ASSERT_LE(pos + old_length, length) << "change " << count;
    ASSERT_TRUE(old_length != 0 || new_length != 0) << "change " << count;
    length = length - old_length + new_length;
    next = pos + new_length;
  }
  EXPECT_EQ(length, result.text.size());
  EXPECT_EQ(static_cast<size_t>(std::count(result.trace.begin(), result.trace.end(), '\n')), count);
}

// Lines as a stack trace counts them: CR LF, LF or a lone CR ends one.
size_t line_count(const std::string& text) { return java::Source(text).line_of(text.size()); }

// Every conversion keeps the lines where they were, so that a stack trace
// names the line the author sees.
Converted lenient(const std::string& source, const std::string& from = "Hello",
                  const std::string& to = "Hello", bool launcher = false) {
  std::ostringstream trace;
  LenientResult result = rewrite_lenient(source, from, to, trace, launcher);
  Converted converted{result.text, result.notes, trace.str()};
  expect_trace_follows(source, converted);
  EXPECT_EQ(line_count(converted.text), line_count(source)) << converted.text;
  return converted;
}

// The lines of a text that hold more than blanks.
std::vector<std::string> code_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos) lines.push_back(line);
  }
  return lines;
}

bool has_code_word(const std::string& text, std::string_view word) {
  const java::Source source(text);
  for (size_t c = 0; c < source.size(); ++c)
    if (source.is_identifier(c) && source.word(c) == word) return true;
  return false;
}

std::string notes_of(const Converted& c) {
  std::string all;
  for (const Note& note : c.notes) all += std::to_string(note.line) + ": " + note.text + "\n";
  return all;
}

// A program around the lines of its main method, LF line ends.
std::string program(
    const std::string& fields, const std::string& body,
    const std::string& header = "public static void main(String[] args) throws IOException {") {
  return "import java.io.*;\n\nclass Hello {\n" + fields + "  " + header + "\n" + body + "  }\n}\n";
}

const std::string kField =
    "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\n";
const std::string kBody = "    String s = flux.readLine();\n    System.out.println(s);\n";
const std::string kTitle = " static { Console.setTitle(\"Hello\"); }";
// kField and kBody converted, with the lines of the field and of a local
// declaration left empty.
std::string converted(size_t field_lines = 1, size_t local_lines = 0) {
  return "\n\nclass Hello {" + kTitle + "\n" + std::string(field_lines, '\n') +
         "  public static void main(String[] args) {\n" + std::string(local_lines, '\n') +
         "    String s = Console.in.readLine();\n    Console.out.println(s);\n  }\n}\n";
}
const std::string kConverted = converted();

// The same changes as the default rewriting, line for line: where it drops
// a line, the line stays, empty; the title opens the class.
TEST(Lenient, TheUsualLayoutConvertsAsByDefaultLineForLine) {
  std::vector<std::pair<std::string, std::string>> sources;  // class, text
  for (const char* name : {"Greeter", "Calculator", "Quiz"})
    sources.emplace_back(name, testutil::read_file(fs::path(CONSOLETOOLS_SOURCE_DIR) / "examples" /
                                                   (std::string(name) + ".java")));
  std::string crlf = program(kField, kBody);
  for (size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2)
    crlf.insert(at, "\r");
  sources.emplace_back("Hello", crlf);
  for (const auto& [name, source] : sources) {
    for (const std::string& to : {name, name + "EnConsole"}) {
      std::ostringstream ignored;
      auto result = lenient(source, name, to);
      std::string text = result.text;
      const std::string title = " static { Console.setTitle(\"" + name + "\"); }";
      ASSERT_NE(text.find(title), std::string::npos);
      text.erase(text.find(title), title.size());
      std::vector<std::string> expected = code_lines(rewrite_source(source, name, to, ignored));
      expected.erase(
          std::remove(expected.begin(), expected.end(), "    Console.setTitle(\"" + name + "\");"),
          expected.end());
      EXPECT_EQ(code_lines(text), expected);
      EXPECT_EQ(notes_of(result), "");
    }
  }
}

TEST(Lenient, TheReaderGoesHoweverItIsDeclared) {
  const std::pair<std::string, std::string> declarations[] = {
      {"\tstatic BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\n",
       ""},
      {"    private static final BufferedReader flux=new BufferedReader(new "
       "InputStreamReader(System.in)) ;\n",
       ""},
      {"  static java.io.BufferedReader flux = new java.io.BufferedReader(\n"
       "      new java.io.InputStreamReader( System . in ));\n",
       ""},
      {"", "    BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\n"},
      {"",
       "    final BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\n"},
      {"  static BufferedReader flux;\n",
       "    flux = new BufferedReader(new InputStreamReader(System.in));\n"},
  };
  for (const auto& [field, local] : declarations) {
    auto result = lenient(program(field, local + kBody));
    const auto lines = [](const std::string& text) {
      return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    };
    EXPECT_EQ(result.text, converted(lines(field), lines(local))) << field << local;
    EXPECT_EQ(notes_of(result), "");
  }
}

TEST(Lenient, LineEndsAreTheFilesOwn) {
  // A lone CR and an LF that were not a pair stay apart, whatever goes
  // between them.
  for (const std::string& parted :
       {std::string("class Hello { int a; \r \n}\n"),
        "import java.io.*;\rimport java.util.*;\nclass Hello {\n" + kField +
            "  public static void main(String[] args) throws IOException {\r" + kBody + "}}\n"}) {
    const std::string text = lenient(parted).text;  // the helper counts the lines
    EXPECT_EQ(text.find("\r\n"), std::string::npos) << text;
  }
  auto lf = lenient(program(kField, kBody));
  EXPECT_EQ(lf.text, kConverted);
  std::string mixed =
      "import java.io.*;\r\rclass Hello {\r\n  static void main(String[] args) {\r\n"
      "    System.out.println(); \n  }\n}\n";
  EXPECT_EQ(lenient(mixed).text, "import java.io.*;\r\rclass Hello {" + kTitle +
                                     "\r\n  static void main(String[] args) {\r\n"
                                     "    Console.out.println();\n  }\n}\n");
}

TEST(Lenient, CommentsAndLiteralsAreLeftAlone) {
  const std::string source =
      "class Hello { // System.out and flux.readLine() \n"
      "  /* Hello System.out */ static void main(String[] args) {\n"
      "    System.out.println(\"System.out flux.readLine() Hello\" + 'x' + \"\\\"Hello\");\n"
      "  }\n}\n";
  EXPECT_EQ(
      lenient(source, "Hello", "HelloEnConsole").text,
      "class HelloEnConsole {" + kTitle +
          " // System.out and flux.readLine() \n"
          "  /* Hello System.out */ static void main(String[] args) {\n"
          "    Console.out.println(\"System.out flux.readLine() Hello\" + 'x' + \"\\\"Hello\");\n"
          "  }\n}\n");
}

TEST(Lenient, TheClassIsRenamedAsAWholeNameOnly) {
  const std::string source =
      "class Buffer {\n"
      "  static void main(String[] args) throws IOException {\n"
      "    Buffer b = new Buffer(); BufferedReader r = null; int Buffer2 = 0;\n"
      "    System.out.println(\"Buffer\" + Buffer.class + b.Buffer);\n"
      "  }\n}\n";
  EXPECT_EQ(
      lenient(source, "Buffer", "BufferEnConsole").text,
      "class BufferEnConsole { static { Console.setTitle(\"Buffer\"); }\n"
      "  static void main(String[] args) {\n"
      "    BufferEnConsole b = new BufferEnConsole(); BufferedReader r = null; int Buffer2 = 0;\n"
      "    Console.out.println(\"Buffer\" + BufferEnConsole.class + b.BufferEnConsole);\n"
      "  }\n}\n");
}

// The packager's way: the program's classes keep their names, so that a
// record, getClass() and a stack trace print them as the original does;
// the jar's class is a launcher on the last line.
TEST(Lenient, TheLauncherKeepsTheProgramsNames) {
  const std::string source =
      "public final class Buffer {\n"
      "  public static void main(String[] args) {\n"
      "    System.out.println(new Buffer().getClass().getName() + \"Buffer\");\n"
      "  }\n} // fin\n";
  const std::string launcher =
      " public class BufferEnConsole { public static void main(String[] args) throws Throwable "
      "{ Buffer.main(args); } }";
  EXPECT_EQ(lenient(source, "Buffer", "BufferEnConsole", true).text,
            "final class Buffer { static { Console.setTitle(\"Buffer\"); }\n"
            "  public static void main(String[] args) {\n"
            "    Console.out.println(new Buffer().getClass().getName() + \"Buffer\");\n"
            "  }\n}" +
                launcher + " // fin\n");
  // No main, no launcher: javac writes no class for the jar to start.
  EXPECT_EQ(lenient("class Buffer { }", "Buffer", "BufferEnConsole", true).text,
            "class Buffer { }");
}

// System.console() is null in the window: the console library's stands in
// for it, and for java.io.Console, whose import would hide it.
TEST(Lenient, SystemConsoleGoesToTheLibrary) {
  const std::string source =
      "import java.io.Console;\nimport java.io.*;\n\nclass Hello {\n"
      "  public static void main(String[] args) {\n"
      "    java.io.Console c = System.console();\n"
      "    if (System.console() == null) return;\n"
      "    String s = c.readLine(\"%s ? \", \"Nom\"); char[] p = c.readPassword();\n"
      "    c.printf(\"%s%n\", s).flush(); new "
      "PrintWriter(c.writer()).println(\"System.console()\");\n"
      "  }\n}\n";
  auto result = lenient(source);
  EXPECT_EQ(result.text,
            "\nimport java.io.*;\n\nclass Hello {" + kTitle +
                "\n  public static void main(String[] args) {\n"
                "    Console c = Console.console();\n"
                "    if (Console.console() == null) return;\n"
                "    String s = c.readLine(\"%s ? \", \"Nom\"); char[] p = c.readPassword();\n"
                "    c.printf(\"%s%n\", s).flush(); new "
                "PrintWriter(c.writer()).println(\"System.console()\");\n"
                "  }\n}\n");
  EXPECT_EQ(notes_of(result), "");
}

// Before anything of the class that holds main: its static fields then
// read a console already set up.
TEST(Lenient, TheTitleIsSetFirstInTheClassThatHoldsMain) {
  const std::pair<std::string, std::string> cases[] = {
      {"class Hello\n{\n  public static void main(String args[])\n  {\n      run();\n  }\n}\n",
       "class Hello\n{" + kTitle +
           "\n  public static void main(String args[])\n  {\n      run();\n  }\n}\n"},
      {"class Other {}\nclass Outer {\n  static class Hello {\n    static Scanner in = new "
       "Scanner(System.in);\n    public static void main(String... a) {}\n  }\n}\n",
       "class Other {}\nclass Outer {\n  static class Hello {" + kTitle +
           "\n    static Scanner in = new Scanner(Console.in);\n"
           "    public static void main(String... a) {}\n  }\n}\n"},
      {"record Hello(int x) {\n  public static void main(String[] a) {}\n}\n",
       "record Hello(int x) {" + kTitle + "\n  public static void main(String[] a) {}\n}\n"},
      // No static block in an interface, nor before an enum's constants.
      {"interface Hello {\n  static void main(String[] a) { // go\n    run();\n  }\n}\n",
       "interface Hello {\n  static void main(String[] a) { Console.setTitle(\"Hello\"); // "
       "go\n    run();\n  }\n}\n"},
      {"enum Hello { A; public static void main(String[] a) { run(); } }",
       "enum Hello { A; public static void main(String[] a) { Console.setTitle(\"Hello\"); "
       "run(); } }"},
  };
  for (const auto& [source, expected] : cases) EXPECT_EQ(lenient(source).text, expected);

  auto none = lenient("class Hello {\n  static void main(String s) {}\n}\n");
  EXPECT_EQ(notes_of(none),
            "1: no main method (static void main(String[] ...)) found; no title is set\n");
  // A name with a line end in it (a file can have one) adds no line.
  EXPECT_EQ(lenient("class A { static void main(String[] a) {} }", "Q\r\x01", "Q").text,
            "class A { static { Console.setTitle(\"Q\\015\\001\"); } static void main(String[] "
            "a) {} }");
  EXPECT_EQ(lenient("class A { static void main(String[] a) {} }", "Q\"\\", "Q").text,
            "class A { static { Console.setTitle(\"Q\\\"\\\\\"); } static void main(String[] a) {} "
            "}");
}

TEST(Lenient, ThrowsClausesStayWhereStillNeeded) {
  const std::string source =
      program(kField +
                  "  static void save(String s) throws IOException {\n"
                  "    new FileWriter(\"log\").write(s);\n  }\n"
                  "  static String ask() throws IOException {\n    return flux.readLine();\n  }\n"
                  "  static void both() throws IOException, InterruptedException {\n"
                  "    Thread.sleep(1); ask();\n  }\n"
                  "  static void other() throws InterruptedException, IOException {\n"
                  "    Thread.sleep(1);\n  }\n"
                  "  static void wide() throws Exception {\n    ask();\n  }\n",
              "    save(ask());\n");
  auto result = lenient(source);
  const std::string& text = result.text;
  EXPECT_NE(text.find("static void save(String s) throws IOException {"), std::string::npos);
  EXPECT_NE(text.find("static String ask() {"), std::string::npos);
  EXPECT_NE(text.find("static void both() throws InterruptedException {"), std::string::npos);
  EXPECT_NE(text.find("static void other() throws InterruptedException {"), std::string::npos);
  EXPECT_NE(text.find("static void wide() throws Exception {"), std::string::npos);
  // main calls save, which still throws: it keeps its clause, and the import.
  EXPECT_NE(text.find("main(String[] args) throws IOException {"), std::string::npos);
  EXPECT_EQ(text.rfind("import java.io.*;\n\nclass Hello {", 0), 0u);
}

TEST(Lenient, CatchesOfNothingGoOrCatchTheUncheckedForm) {
  const std::string source = program(
      kField +
          // Only handler: the try goes too, leaving its block.
          "  static String a() {\n    try {\n      return flux.readLine();\n"
          "    } catch (IOException e) {\n      return null;\n    }\n  }\n"
          // One of several.
          "  static int b() {\n    int n = 0;\n    try {\n      n = "
          "Integer.parseInt(flux.readLine());\n"
          "    } catch (IOException e) {\n      n = -1;\n    } catch (NumberFormatException e) {\n"
          "      n = -2;\n    }\n    return n;\n  }\n"
          // One alternative of a multi-catch.
          "  static void c() {\n    try { flux.readLine(); } catch (NumberFormatException | "
          "IOException e) {}\n"
          "  }\n"
          // Code after the try would become unreachable.
          "  static String d() {\n    try { return flux.readLine(); } catch (IOException e) { }\n"
          "    return \"\";\n  }\n"
          // Still reading a file: stays.
          "  static void e() {\n    try { new FileReader(\"f\").read(); } catch (IOException e) { "
          "}\n  }\n"
          // The inner catch takes the file's exception; the outer catch goes.
          "  static void f() {\n    try { try { new FileReader(\"f\"); } catch (IOException e) { "
          "}\n"
          "      flux.readLine(); } catch (IOException e) { }\n  }\n",
      "");
  const std::string text = lenient(source).text;
  EXPECT_NE(
      text.find("  static String a() {\n    {\n      return Console.in.readLine();\n    }\n\n\n"
                "  }\n"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("    try {\n      n = Integer.parseInt(Console.in.readLine());\n"
                      "    }\n\n     catch (NumberFormatException e) {\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("try { Console.in.readLine(); } catch (NumberFormatException e) {}"),
            std::string::npos);
  EXPECT_NE(
      text.find("try { return Console.in.readLine(); } catch (java.io.UncheckedIOException e) { }"),
      std::string::npos);
  EXPECT_NE(text.find("try { new FileReader(\"f\").read(); } catch (IOException e) { }"),
            std::string::npos);
  EXPECT_NE(text.find("    { try { new FileReader(\"f\"); } catch (IOException e) { }\n"
                      "      Console.in.readLine(); }\n"),
            std::string::npos)
      << text;
}

TEST(Lenient, JavaIoImportsGoOnlyWhenNoLongerNeeded) {
  auto with_util =
      lenient("import java.io.*;\nimport java.util.*;\n\nclass Hello {\n" + kField +
              "  static void main(String[] args) throws IOException {\n" + kBody + "  }\n}\n");
  EXPECT_EQ(with_util.text.rfind("\nimport java.util.*;\n\nclass Hello {", 0), 0u);

  auto still_used = lenient(program(kField, "    new File(\"x\");\n" + kBody));
  EXPECT_EQ(still_used.text.rfind("import java.io.*;\n\nclass Hello {", 0), 0u);

  auto one_by_one = lenient(
      "import java.io.BufferedReader;\nimport java.io.InputStreamReader;\n"
      "import java.io.IOException;\nimport java.io.File;\nimport java.io.Writer;\n\n"
      "class Hello {\n" +
      kField + "  static void main(String[] args) throws IOException {\n" + kBody +
      "    new File(\"x\");\n  }\n}\n");
  // Writer was never used: the program's own business.
  EXPECT_EQ(one_by_one.text.rfind(
                "\n\n\nimport java.io.File;\nimport java.io.Writer;\n\nclass Hello {", 0),
            0u)
      << one_by_one.text;
}

TEST(Lenient, AReaderUsedOtherwiseStaysWithANote) {
  const std::string uses[] = {"    int c = flux.read();\n", "    show(flux);\n",
                              "    flux.close();\n", "    Hello.flux.readLine();\n"};
  for (const std::string& use : uses) {
    const std::string source = program(kField, kBody + use);
    auto result = lenient(source);
    EXPECT_NE(result.text.find(kField), std::string::npos) << use;
    EXPECT_NE(result.text.find("String s = flux.readLine();"), std::string::npos);
    EXPECT_NE(result.text.find("Console.out.println(s);"), std::string::npos);
    EXPECT_NE(result.text.find("throws IOException {"), std::string::npos);
    EXPECT_EQ(notes_of(result),
              "8: flux is used here other than by flux.readLine(); the reader and all its uses "
              "are left as they are, reading System.in, which the console window feeds\n")
        << use;
  }
  auto file = lenient(program(
      "  static BufferedReader flux = new BufferedReader(new FileReader(\"data\"));\n", kBody));
  EXPECT_NE(file.text.find("String s = flux.readLine();"), std::string::npos);
  EXPECT_EQ(file.notes.size(), 1u);
  EXPECT_EQ(file.notes[0].line, 4u);

  // Removing the declaration would take the other variable with it.
  const std::string shared = program("  static BufferedReader flux, other;\n",
                                     "    flux = new BufferedReader(new "
                                     "InputStreamReader(System.in));\n" +
                                         kBody);
  auto both = lenient(shared);
  EXPECT_NE(both.text.find("static BufferedReader flux, other;"), std::string::npos);
  EXPECT_NE(both.text.find("String s = flux.readLine();"), std::string::npos);
  EXPECT_EQ(notes_of(both),
            "4: flux is declared here along with other variables, or without its ';'; it and "
            "its uses are left as they are, reading System.in, which the console window feeds\n");
}

// Never half a conversion: a name spelled with Unicode escapes is the
// name it stands for.
TEST(Lenient, NamesSpelledWithUnicodeEscapesConvertLikeOthers) {
  auto result = lenient(program("  static BufferedReader \\u0066lux = new BufferedReader(new "
                                "InputStreamReader(System.in));\n",
                                "    String s = \\u0066lu\\u0078.readLine();\n"
                                "    \\u0053ystem.out.println(s);\n"),
                        "Hello", "HelloEnConsole");
  EXPECT_EQ(result.text,
            "\n\nclass HelloEnConsole {" + kTitle +
                "\n\n  public static void main(String[] args) {\n"
                "    String s = Console.in.readLine();\n    Console.out.println(s);\n  }\n}\n");
  EXPECT_EQ(notes_of(result), "");
  auto renamed = lenient("class \\u0048ello { \\u0048ello h; }\n", "Hello", "HelloEnConsole");
  EXPECT_EQ(renamed.text.find("HelloEnConsole { HelloEnConsole h; }"), 6u) << renamed.text;
}

// Whatever its name, a BufferedReader of System.in goes to the console, as
// does a Scanner of it; System.in itself is not a reader named `in`.
TEST(Lenient, AnyKeyboardReaderGoesToTheConsole) {
  for (const std::string name : {"clavier", "in", "br"}) {
    const std::string field = "  static BufferedReader " + name +
                              " = new BufferedReader(new InputStreamReader(System.in));\n";
    auto result = lenient(program(field, "    String s = " + name +
                                             ".readLine();\n"
                                             "    System.out.println(s);\n"));
    EXPECT_EQ(result.text, kConverted) << name;
    EXPECT_EQ(notes_of(result), "") << name;
  }
  auto scanners = lenient(
      "import java.util.*;\nclass Hello {\n  static Scanner in = new Scanner(System.in);\n"
      "  public static void main(String[] args) {\n"
      "    Scanner local = new java.util.Scanner( System . in );\n"
      "    System.out.println(in.nextInt() + local.nextLine());\n  }\n}\n");
  EXPECT_EQ(scanners.text,
            "import java.util.*;\nclass Hello {" + kTitle +
                "\n  static Scanner in = new Scanner(Console.in);\n"
                "  public static void main(String[] args) {\n"
                "    Scanner local = new java.util.Scanner( Console.in );\n"
                "    Console.out.println(in.nextInt() + local.nextLine());\n  }\n}\n");
  EXPECT_EQ(notes_of(scanners), "");
}

TEST(Lenient, WhatReadsSystemInOtherwiseStaysWithANote) {
  auto result = lenient(
      "class Hello {\n  public static void main(String[] args) throws Exception {\n"
      "    java.util.Scanner s = new java.util.Scanner(System.in, \"UTF-8\");\n"
      "    int c = System.in.read();\n"
      "    f(new BufferedReader(new InputStreamReader(System.in)));\n  }\n}\n");
  const std::string stays =
      ": System.in is read here other than through a BufferedReader or a Scanner the console "
      "can take over; it stays as it is: the console window feeds System.in too\n";
  EXPECT_EQ(notes_of(result), "3" + stays + "4" + stays + "5" + stays);
  EXPECT_EQ(result.text.find("Console.in"), std::string::npos);
}

TEST(Lenient, AReaderAsTryResource) {
  const std::string reader =
      "BufferedReader flux = new BufferedReader(new InputStreamReader(System.in))";
  EXPECT_EQ(lenient("class Hello {\n  static void main(String[] a) {\n    try (" + reader +
                    ") {\n      flux.readLine();\n    } catch (IOException e) {\n    }\n  }\n}\n")
                .text,
            "class Hello {" + kTitle +
                "\n  static void main(String[] a) {\n"
                "    {\n      Console.in.readLine();\n    }\n\n  }\n}\n");
  EXPECT_EQ(lenient("class Hello {\n  static void main(String[] a) throws IOException {\n"
                    "    try (" +
                    reader + ";) {\n      flux.readLine();\n    }\n  }\n}\n")
                .text,
            "class Hello {" + kTitle +
                "\n  static void main(String[] a) {\n"
                "    {\n      Console.in.readLine();\n    }\n  }\n}\n");
  // One of several resources goes with the ';' that parts it from the next;
  // the others stay, and so does what closing them may throw.
  EXPECT_EQ(lenient("class Hello {\n  static void main(String[] a) throws IOException {\n"
                    "    try (" +
                    reader +
                    "; Reader f = new FileReader(\"x\")) {\n      flux.readLine();\n"
                    "    }\n  }\n}\n")
                .text,
            "class Hello {" + kTitle +
                "\n  static void main(String[] a) throws IOException {\n"
                "    try (Reader f = new FileReader(\"x\")) {\n      Console.in.readLine();\n"
                "    }\n  }\n}\n");
  auto last = lenient(
      "class Hello {\n  static void main(String[] a) {\n"
      "    try (PrintWriter w = new PrintWriter(System.out);\n         " +
      reader + ") {\n      w.println(flux.readLine());\n    }\n  }\n}\n");
  EXPECT_EQ(last.text, "class Hello {" + kTitle +
                           "\n  static void main(String[] a) {\n"
                           "    try (PrintWriter w = new PrintWriter(Console.out)\n         ) {\n"
                           "      w.println(Console.in.readLine());\n    }\n  }\n}\n");
  EXPECT_EQ(notes_of(last), "");
}

// Misread before: a var reader, a parameter of the reader's name in another
// method, and a reader passed on, which stays, reading the console's
// System.in.
TEST(Lenient, ReadersOfOtherScopesAndShapes) {
  auto var = lenient(
      "class Hello {\n  public static void main(String[] args) throws IOException {\n"
      "    var in = new BufferedReader(new InputStreamReader(System.in));\n"
      "    System.out.println(in.readLine());\n  }\n}\n");
  EXPECT_EQ(var.text, "class Hello {" + kTitle +
                          "\n  public static void main(String[] args) {\n\n"
                          "    Console.out.println(Console.in.readLine());\n  }\n}\n");
  EXPECT_EQ(notes_of(var), "");

  const std::string lire =
      "  static String lire(BufferedReader br) throws IOException {\n"
      "    return br.readLine();\n  }\n";
  auto parameter =
      lenient("class Hello {\n" + lire +
              "  public static void main(String[] args) throws IOException {\n"
              "    BufferedReader br = new BufferedReader(new InputStreamReader(System.in));\n"
              "    System.out.println(br.readLine());\n  }\n}\n");
  EXPECT_NE(parameter.text.find(lire), std::string::npos) << parameter.text;
  EXPECT_NE(parameter.text.find("  public static void main(String[] args) {\n\n"
                                "    Console.out.println(Console.in.readLine());\n"),
            std::string::npos)
      << parameter.text;
  EXPECT_EQ(notes_of(parameter), "");

  auto passed =
      lenient("class Hello {\n" + lire +
              "  public static void main(String[] args) throws IOException {\n"
              "    BufferedReader br = new BufferedReader(new InputStreamReader(System.in));\n"
              "    System.out.println(lire(br));\n  }\n}\n");
  EXPECT_NE(passed.text.find("BufferedReader br = new BufferedReader(new "
                             "InputStreamReader(System.in));"),
            std::string::npos);
  EXPECT_EQ(notes_of(passed),
            "7: br is used here other than by br.readLine(); the reader and all its uses are "
            "left as they are, reading System.in, which the console window feeds\n");
}

// The console library and the class a jar starts are in the unnamed
// package: the declaration goes, its line stays.
TEST(Lenient, ThePackageDeclarationGoes) {
  auto result = lenient(
      "package fr.exemple.tp1;\n\nclass Hello {\n"
      "  public static void main(String[] args) {\n    System.out.println();\n  }\n}\n");
  EXPECT_EQ(result.text, "\n\nclass Hello {" + kTitle +
                             "\n  public static void main(String[] args) {\n"
                             "    Console.out.println();\n  }\n}\n");
  EXPECT_EQ(notes_of(result),
            "1: the package declaration (package fr.exemple.tp1) goes: the console library and "
            "the class a jar starts are in the unnamed package\n");
}

// No crash, no hang, nothing lost: converted as far as it goes.
TEST(Lenient, BadInputConvertsAsFarAsItCan) {
  // The comment takes main's closing brace: no main is found.
  auto comment = lenient("class Hello { static void main(String[] a) { System.out.x(); /* open\n}");
  EXPECT_EQ(comment.text,
            "class Hello { static void main(String[] a) { Console.out.x(); /* open\n}");
  EXPECT_NE(notes_of(comment).find("1: this comment is not closed"), std::string::npos);
  EXPECT_NE(notes_of(comment).find("1: the brackets and braces do not balance"), std::string::npos);
  EXPECT_NE(notes_of(comment).find("1: no main method"), std::string::npos);

  auto binary =
      lenient(std::string("\x7f"
                          "ELF\0\x01\x02{(\"\xff\n'",
                          13));
  EXPECT_EQ(binary.text, std::string("\x7f"
                                     "ELF\0\x01\x02{(\"\xff\n'",
                                     13));
  EXPECT_NE(notes_of(binary).find("no class declaration found"), std::string::npos);

  auto braces = lenient("class Hello { void f() { System.out.println(); }}}} flux.readLine(");
  EXPECT_NE(braces.text.find("Console.out.println()"), std::string::npos);

  // A reader given to a name that is no variable (found by the fuzzer).
  const std::string odd =
      "class Hello { BufferedReader fl System.ux = new BufferedReader(new "
      "InputStreamReader(System.in)); }";
  EXPECT_EQ(lenient(odd).text, odd);

  // A declaration cut short by the end of the text (found by the fuzzer).
  const std::string cut =
      "class Hello {\n  static BufferedReader flux = new BufferedReader(new "
      "InputStreamReader(System.in));\n  static BufferedReader flux  ";
  auto cut_short = lenient(cut);
  EXPECT_EQ(cut_short.text, cut);
  EXPECT_NE(notes_of(cut_short).find("3: flux is declared here along with other variables"),
            std::string::npos);
}

// The layouts the corpus shows convert with no note but where something
// really is left as it is.
TEST(Lenient, TheCorpusConvertsWithoutNotes) {
  const fs::path corpus = fs::path(CONSOLETOOLS_SOURCE_DIR) / "examples" / "layouts";
  size_t programs = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() != ".java") continue;
    ++programs;
    const std::string name = entry.path().stem().string();
    const std::string source = testutil::read_file(entry.path());
    auto result = lenient(source, name, name + "EnConsole");
    EXPECT_NE(result.text.find("Console.setTitle(\"" + name + "\");"), std::string::npos) << name;
    if (name == "Lecteur") {
      EXPECT_EQ(result.notes.size(), 1u);
    } else {
      EXPECT_EQ(notes_of(result), "") << name;
      EXPECT_FALSE(has_code_word(result.text, "flux")) << name;
    }
  }
  EXPECT_GE(programs, 12u);
}

}  // namespace
}  // namespace convert
