#include "java/features.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/test_support.h"

namespace java {
namespace {

namespace fs = std::filesystem;

// "NAME RELEASE @LINE", or "" for nothing newer than Java 8.
std::string newest(const std::string& body) {
  const std::string text = "class A {\n  void f() {\n" + body + "\n  }\n}\n";
  const Program program(text);
  auto feature = newest_feature(program);
  if (!feature) return "";
  return feature->name + " " + std::to_string(feature->release) + " @" +
         std::to_string(feature->line);
}

TEST(JavaFeatures, EachFeatureNeedsItsRelease) {
  const std::pair<std::string, std::string> cases[] = {
      {"var n = 1;", "'var' 10 @3"},
      {"for (var s : args) {}", "'var' 10 @3"},
      {"final var n = 1;", "'var' 10 @3"},
      {"int k = switch (n) { case 1 -> 2; default -> 3; };", "a switch rule (case ... ->) 14 @3"},
      {"switch (n) { case A, B -> f(); }", "a switch rule (case ... ->) 14 @3"},
      {"String s = \"\"\"\n  x\n  \"\"\";", "a text block 15 @3"},
      {"if (o instanceof String s) {}", "an instanceof pattern 16 @3"},
      {"if (o instanceof java.util.List<?> l) {}", "an instanceof pattern 16 @3"},
      {"String s = \"=\".repeat(3);", "String.repeat 11 @3"},
      {"boolean b = s.strip().isBlank();", "String.strip 11 @3"},
      {"var l = List.of(1, 2);", "'var' 10 @3"},
      {"java.util.List<Integer> l = List.of(1, 2);", "List.of 9 @3"},
      {"String t = Files.readString(p);", "Files.readString 11 @3"},
      {"x = s.stream().toList();", "Stream.toList 16 @3"},
      {"int a = 1;\nvar b = 2;\nString c = \"\"\"\n  \"\"\";", "a text block 15 @5"},
  };
  for (const auto& [body, expected] : cases) EXPECT_EQ(newest(body), expected) << body;
  // Top-level, as the main class too, with modifiers or without.
  for (const char* text : {"record Point(int x, int y) {}\n",
                           "import java.util.*;\npublic record Main(int x) {\n"
                           "  public static void main(String[] a) {}\n}\n",
                           "class A { private static final record P(int x) {} }"}) {
    const Program record(text);
    ASSERT_TRUE(newest_feature(record)) << text;
    EXPECT_EQ(newest_feature(record)->release, 16);
  }
}

// Words that only look like the features, and Java 8 programs.
TEST(JavaFeatures, NothingNewWhereNothingNewIs) {
  const std::string bodies[] = {
      "int var = 1; var = 2; f(var);",
      "switch (n) { case 1: x = a - b; break; default: y = c > d ? 1 : 2; }",
      "Runnable r = () -> f(); boolean b = a->b;",
      "if (o instanceof String) {} if (o instanceof String && b) {}",
      "String record = \"r\"; record(1);",
      "x = s.toList(y); List<Integer> l = new ArrayList<>();",
      "// var n = 1; \"\"\" \"x.repeat(2)\"",
      "int yield = 1; yield = 2;",
  };
  for (const std::string& body : bodies) EXPECT_EQ(newest(body), "") << body;
  EXPECT_FALSE(newest_feature(
      Program("class A { String repeat(int n) { return \"\"; } void f() { g().repeat(2); } }")));
  for (const char* name : {"Greeter", "Calculator"}) {
    const std::string text = testutil::read_file(fs::path(CONSOLETOOLS_SOURCE_DIR) / "examples" /
                                                 (std::string(name) + ".java"));
    EXPECT_FALSE(newest_feature(Program(text))) << name;
  }
}

}  // namespace
}  // namespace java
