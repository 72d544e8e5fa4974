#include "convert/rewrite.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "convert/reference_rewrite.h"

namespace convert {
namespace {

struct Rewritten {
  std::string text;
  std::string trace;
};

Rewritten rewrite(const std::string& source, const std::string& from = "Hello",
                  const std::string& to = "HelloEnConsole") {
  std::ostringstream trace;
  std::string text = rewrite_source(source, from, to, trace);
  return {text, trace.str()};
}

const std::string kField =
    "static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));";

TEST(TrailingBlanks, RemovesOneBlankPerPassBeforeEachLineEnd) {
  auto r = rewrite("x   \r\ny \r\n", "Q", "Q");
  EXPECT_EQ(r.text, "x\r\ny\r\n");
  EXPECT_EQ(r.trace, "10 3 3 2\n9 2 3 2\n8 1 3 2\n7 4 3 2\n");
}

TEST(TrailingBlanks, KeepsBlanksBeforeBareLineFeeds) {
  EXPECT_EQ(rewrite("x  \ny \r\n", "Q", "Q").text, "x  \ny\r\n");
}

TEST(TrailingBlanks, LastLineLosesItsBlank) {
  auto r = rewrite("a \r\n", "Q", "Q");
  EXPECT_EQ(r.text, "a\r\n");
  EXPECT_EQ(r.trace, "4 1 3 2\n");
}

TEST(InputImport, RemovesOnlyTheFirstImportFollowedByAnEmptyLine) {
  auto r = rewrite("import java.io.*;\r\n\r\nimport java.io.*;\r\n\r\nclass A\r\n", "Q", "Q");
  EXPECT_EQ(r.text, "import java.io.*;\r\n\r\nclass A\r\n");
  EXPECT_EQ(r.trace, "51 0 21 0\n");
  EXPECT_EQ(rewrite("import java.io.*;\r\nclass A\r\n", "Q", "Q").text,
            "import java.io.*;\r\nclass A\r\n");
}

TEST(InputImport, FoundEvenWhenItsLineEndedInBlanks) {
  EXPECT_EQ(rewrite("import java.io.*;  \r\n\r\nclass A\r\n", "Q", "Q").text, "class A\r\n");
}

TEST(ReaderField, RemovedWhenIndentedByTwoBlanks) {
  auto r = rewrite("class A {\r\n  " + kField + "\r\n  int x;\r\n", "Q", "Q");
  EXPECT_EQ(r.text, "class A {\r\n  int x;\r\n");
  EXPECT_EQ(r.trace, "107 11 86 0\n");
}

TEST(ReaderField, OtherIndentsStayButTheirCallsAreRedirected) {
  for (std::string indent : {"\t", " ", ""}) {
    std::string source = indent + kField + "\r\nflux.readLine();\r\n";
    EXPECT_EQ(rewrite(source, "Q", "Q").text,
              indent + kField + "\r\nConsole.in.readLine();\r\n")
        << "indent [" << indent << "]";
  }
}

TEST(ReaderField, DeeperIndentLeavesItsExtraBlanksOnTheNextLine) {
  EXPECT_EQ(rewrite("    " + kField + "\r\nint x;\r\n", "Q", "Q").text, "  int x;\r\n");
}

TEST(ThrowsClauses, EveryOneIsRemoved) {
  auto r = rewrite("void a() throws IOException {}\r\nvoid b() throws IOException {}\r\n",
                   "Q", "Q");
  EXPECT_EQ(r.text, "void a() {}\r\nvoid b() {}\r\n");
  EXPECT_EQ(r.trace, "64 8 19 0\n45 21 19 0\n");
}

TEST(Title, MainGainsTheTitleLineAfterItsThrowsClauseIsGone) {
  auto r = rewrite("  public static void main(String[] args) throws IOException {\r\n    go();\r\n");
  EXPECT_EQ(r.text,
            "  public static void main(String[] args) {\r\n"
            "    Console.setTitle(\"Hello\");\r\n"
            "    go();\r\n");
  EXPECT_EQ(r.trace, "74 40 19 0\n55 34 10 42\n");
}

TEST(Title, OnlyTheFirstMarkerAndOnlyItsExactForm) {
  EXPECT_EQ(rewrite("main(String args[]) {\r\n", "Q", "Q").text, "main(String args[]) {\r\n");
  EXPECT_EQ(rewrite("main(String[] args)\r\n{\r\n", "Q", "Q").text,
            "main(String[] args)\r\n{\r\n");
  EXPECT_EQ(rewrite("f(int args) {\r\nmain(String[] args) {\r\n", "T", "T").text,
            "f(int args) {\r\n    Console.setTitle(\"T\");\r\nmain(String[] args) {\r\n");
}

TEST(ClassName, RenamesEveryUseNotRightAfterADoubleQuote) {
  auto r = rewrite("Hello h = new Hello(); \"Hello\" \"Say Hello\" HelloWorld\r\n");
  EXPECT_EQ(r.text,
            "HelloEnConsole h = new HelloEnConsole(); \"Hello\" \"Say HelloEnConsole\" "
            "HelloEnConsoleWorld\r\n");
  EXPECT_EQ(r.trace, "55 0 5 14\n64 23 5 14\n73 54 5 14\n82 70 5 14\n");
}

TEST(ClassName, TheInsertedTitleKeepsTheOldName) {
  auto r = rewrite("class Hello {\r\n main(String[] args) {\r\n");
  EXPECT_EQ(r.text,
            "class HelloEnConsole {\r\n main(String[] args) {\r\n"
            "    Console.setTitle(\"Hello\");\r\n");
}

TEST(ClassName, EqualClassesChangeNothingButTraceEachOccurrence) {
  auto r = rewrite("aaa \"aa\r\n", "aa", "aa");
  EXPECT_EQ(r.text, "aaa \"aa\r\n");
  EXPECT_EQ(r.trace, "9 0 2 2\n9 1 2 2\n");
}

TEST(ClassName, ASystemClassCapturesSystemOutBeforeItIsRedirected) {
  EXPECT_EQ(rewrite("System.out.println();\r\n", "System", "SystemEnConsole").text,
            "SystemEnConsole.out.println();\r\n");
  EXPECT_EQ(rewrite("System.out.println();\r\n", "System", "System").text,
            "Console.out.println();\r\n");
}

// A class found inside its own new name is renamed once per occurrence in
// the source, instead of being found again in each replacement.
TEST(ClassName, NamesInsideEnConsoleAreRenamedOncePerOccurrence) {
  EXPECT_EQ(rewrite("Console c; Console.out\r\n", "Console", "ConsoleEnConsole").text,
            "ConsoleEnConsole c; ConsoleEnConsole.out\r\n");
  EXPECT_EQ(rewrite("C x = new C();\r\n", "C", "CEnConsole").text,
            "CEnConsole x = new CEnConsole();\r\n");
  auto r = rewrite("on\r\n", "on", "onEnConsole");
  EXPECT_EQ(r.text, "onEnConsole\r\n");
  EXPECT_EQ(r.trace, "4 0 2 11\n");
  EXPECT_EQ(rewrite("ab", "", "EnConsole").text, "EnConsoleaEnConsolebEnConsole");
}

TEST(ClassName, AnOccurrenceRunningPastTheNewNameIsRenamedAsBefore) {
  // "eX" spans the end of the inserted "eXEnConsole" and the next source byte.
  auto r = rewrite("eXX", "eX", "eXEnConsole");
  EXPECT_EQ(r.text, "eXEnConsoleXEnConsole");
  EXPECT_EQ(r.trace, "3 0 2 11\n12 10 2 11\n");
}

TEST(Redirection, OutputAndInputCallsGoToConsole) {
  auto r = rewrite("System.out.print(flux.readLine());\r\n", "Q", "Q");
  EXPECT_EQ(r.text, "Console.out.print(Console.in.readLine());\r\n");
  EXPECT_EQ(r.trace, "36 0 10 11\n37 18 13 19\n");
}

TEST(LineFeedOnly, OnlyTheUnanchoredStepsApply) {
  std::string source = "import java.io.*;\n\n  " + kField +
                       "\nclass Hello {\n  void main(String[] args) throws IOException {\n"
                       "    System.out.println(flux.readLine()); \n  }\n}\n";
  std::string expected = "import java.io.*;\n\n  " + kField +
                         "\nclass HelloEnConsole {\n  void main(String[] args) {\n"
                         "    Console.out.println(Console.in.readLine()); \n  }\n}\n";
  EXPECT_EQ(rewrite(source).text, expected);
}

TEST(SizedText, ZeroBytesAreKeptAndTracesCountThem) {
  auto r = rewrite(std::string("a\0b \r\nSystem.out", 16), "Q", "Q");
  EXPECT_EQ(r.text, std::string("a\0b\r\nConsole.out", 16));
  EXPECT_EQ(r.trace, "16 3 3 2\n15 5 10 11\n");
}

TEST(SizedText, GrowsFarBeyondAThousandBytes) {
  std::string source, expected;
  for (int i = 0; i < 5000; ++i) {
    source += "System.out;flux.readLine;\r\n";
    expected += "Console.out;Console.in.readLine;\r\n";
  }
  auto r = rewrite(source, "Q", "Q");
  EXPECT_EQ(r.text, expected);
  EXPECT_EQ(std::count(r.trace.begin(), r.trace.end(), '\n'), 10000);
}

// The whole pass on generated sources must print and produce exactly what
// the original algorithm does, wherever that stays within its room.
TEST(Differential, MatchesTheOriginalAlgorithmOnGeneratedSources) {
  const std::vector<std::string> pieces = {
      " ", "  ", "\r\n", "\n", "\r", "\"", "Hello", "Hel", "lo", "World", "System.out",
      "System", ".out", "flux.readLine", "flux", " throws IOException", " throws",
      "import java.io.*;\r\n\r\n", "import java.io.*;", "  " + kField + "\r\n", kField,
      " args) {\r\n", " args) {", "(String[] args) {", "x", "e", "EnConsole", "{", "}", ";"};
  const std::vector<std::pair<std::string, std::string>> classes = {
      {"Hello", "HelloEnConsole"}, {"Hello", "Hello"},   {"World", "WorldEnConsole"},
      {"System", "SystemEnConsole"}, {"e", "e"},        {"lo", "loEnConsole"},
      {"x", "xEnConsole"},           {"eX", "eXEnConsole"}};
  std::mt19937 random(12345);
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string source;
    int count = static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) source += pieces[random() % pieces.size()];
    const auto& [from, to] = classes[random() % classes.size()];
    auto expected = reference::rewrite(source, from, to);
    if (!expected) continue;
    auto actual = rewrite(source, from, to);
    ASSERT_EQ(actual.text, expected->text) << "source [" << source << "] class " << from;
    ASSERT_EQ(actual.trace, expected->trace) << "source [" << source << "] class " << from;
    ++compared;
  }
  EXPECT_GT(compared, 2500);
}

// Class names drawn from the letters of "EnConsole" and a double quote,
// where the original overlaps itself, straddles its replacement or grows
// out of its room (those runs are left out, as the original is undefined).
TEST(Differential, MatchesTheOriginalOnAwkwardClassNames) {
  const std::string letters = "EnCosleX\"";
  std::mt19937 random(777);
  int compared = 0;
  for (int round = 0; round < 4000; ++round) {
    std::string from;
    for (int i = static_cast<int>(random() % 4); i > 0; --i) from += letters[random() % letters.size()];
    std::string to = random() % 2 ? from + "EnConsole" : from;
    std::string source;
    for (int i = static_cast<int>(random() % 40); i > 0; --i) {
      switch (random() % 4) {
        case 0: source += letters[random() % letters.size()]; break;
        case 1: source += from; break;
        case 2: source += " \r\n"; break;
        default: source += "System.out"; break;
      }
    }
    auto expected = reference::rewrite(source, from, to);
    if (!expected) continue;
    auto actual = rewrite(source, from, to);
    ASSERT_EQ(actual.text, expected->text) << "source [" << source << "] class [" << from << "]";
    ASSERT_EQ(actual.trace, expected->trace) << "source [" << source << "] class [" << from << "]";
    ++compared;
  }
  EXPECT_GT(compared, 1500);
}

}  // namespace
}  // namespace convert
