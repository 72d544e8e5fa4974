// The decisions the conversions take from the analysis, pinned on small
// sources: what is a method, a try, a reader and its uses, and which
// methods and try blocks still throw an IOException.
#include "java/structure.h"

#include <gtest/gtest.h>

#include "java/io_analysis.h"

namespace java {
namespace {

std::string names(const Program& program, const std::vector<bool>& which) {
  std::string out;
  for (size_t m = 0; m < which.size(); ++m)
    if (which[m]) out += std::string(program.source.word(program.structure.methods[m].name)) + " ";
  return out;
}

TEST(Structure, MethodsTriesAndMainAsWritten) {
  const Program program(
      "class A {\n"
      "  A() throws java.io.IOException, E { }\n"
      "  int f(int x) { if (x > 0) { return g(x); } return new A().h(); }\n"
      "  static void main(String... a) {\n"
      "    try (Reader r = open()) { } catch (final IOException | E e) { } finally { }\n"
      "    try { } catch (Exception e) { }\n"
      "  }\n"
      "}\n");
  const Structure& s = program.structure;
  ASSERT_EQ(s.methods.size(), 3u);
  EXPECT_EQ(program.source.word(s.methods[0].name), "A");
  const auto throws = s.throws(s.methods[0]);
  ASSERT_EQ(throws.size(), 2u);
  EXPECT_EQ(throws[0].name, "IOException");
  EXPECT_EQ(throws[0].last - throws[0].first, 4u);  // java . io . IOException
  EXPECT_EQ(throws[1].name, "E");
  EXPECT_EQ(s.methods[1].throws_keyword, kNone);
  ASSERT_TRUE(s.main);
  EXPECT_EQ(*s.main, 2u);

  ASSERT_EQ(s.tries.size(), 2u);
  EXPECT_NE(s.tries[0].resources_open, kNone);
  const auto handlers = s.handlers(s.tries[0]);
  ASSERT_EQ(handlers.size(), 2u);
  ASSERT_EQ(s.types(handlers[0]).size(), 2u);
  EXPECT_EQ(s.types(handlers[0])[1].name, "E");
  EXPECT_TRUE(s.types(handlers[1]).empty());  // finally
  EXPECT_EQ(s.tries[1].resources_open, kNone);
}

TEST(Structure, ReadersAndTheirUses) {
  const Program program(
      "class A {\n"
      "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\n"
      "  static Scanner sc = new Scanner(System.in);\n"
      "  void f() throws Exception {\n"
      "    BufferedReader in = new java.io.BufferedReader(new InputStreamReader(System.in));\n"
      "    String s = flux.readLine() + in.readLine();\n"
      "    g(in);\n"
      "    int c = System.in.read();\n"
      "  }\n"
      "}\n");
  const Structure& s = program.structure;
  ASSERT_EQ(s.readers.size(), 2u);
  const ReaderVariable* flux = find_reader(s, "flux");
  const ReaderVariable* in = find_reader(s, "in");
  ASSERT_TRUE(flux && in);
  ASSERT_EQ(flux->uses.size(), 2u);
  EXPECT_EQ(flux->uses[0].kind, ReaderUse::Kind::declaration);
  EXPECT_TRUE(flux->uses[0].reads_console);
  EXPECT_FALSE(flux->uses[0].local);
  EXPECT_EQ(flux->uses[1].kind, ReaderUse::Kind::read_line);
  EXPECT_TRUE(is_convertible(*flux));
  ASSERT_EQ(in->uses.size(), 3u);  // System.in is none of them
  EXPECT_TRUE(in->uses[0].local);
  EXPECT_EQ(in->uses[2].kind, ReaderUse::Kind::other);
  EXPECT_FALSE(is_convertible(*in));
  EXPECT_EQ(s.scanners.size(), 1u);
  ASSERT_EQ(s.standard_input.size(), 1u);
  EXPECT_EQ(program.source.line_of(program.source.begin(s.standard_input[0])), 8u);
}

TEST(Structure, TypesThePackageAndTheClassHoldingMain) {
  const Program program(
      "package a.b;\n"
      "import java.util.*;\n"
      "class Helper { Object o = Helper.class; }\n"
      "public final class Main<T extends Comparable<T>> implements Runnable {\n"
      "  static Scanner early = new Scanner(System.in);\n"
      "  static Scanner[] all = { new Scanner(System.in) };\n"
      "  Scanner late = new Scanner(System.in);\n"
      "  static { Scanner s = new Scanner(System.in); }\n"
      "  { Scanner s = new Scanner(System.in); }\n"
      "  record Point(int x) { }\n"
      "  enum Colour { RED }\n"
      "  interface Shape { }\n"
      "  public static void main(String[] args) {\n"
      "    class Local { }\n"
      "    Scanner s = new Scanner(System.in);\n"
      "  }\n"
      "}\n");
  const Structure& s = program.structure;
  EXPECT_EQ(package_name(program.source, s), "a.b");
  std::string types;
  for (const TypeDeclaration& type : s.type_declarations)
    types +=
        std::string(program.source.word(type.name)) +
        (type.enclosing == kNone
             ? std::string(" ")
             : "<" + std::string(program.source.word(s.type_declarations[type.enclosing].name)) +
                   " ");
  EXPECT_EQ(types, "Helper Main Point<Main Colour<Main Shape<Main Local<Main ");
  ASSERT_TRUE(s.main_type);
  EXPECT_EQ(*s.main_type, 1u);
  // Which reads of System.in run when the class is set up, before main.
  std::string early;
  for (uint32_t system : s.scanners)
    if (in_static_initialiser(program.source, s, *s.main_type, system))
      early += std::to_string(program.source.line_of(program.source.begin(system))) + " ";
  EXPECT_EQ(early, "5 6 8 ");
  const Program plain("class A {}");
  EXPECT_EQ(package_name(plain.source, plain.structure), "");
}

// throws IOException stays only where something can still throw one: the
// file I/O, what calls it without catching, a reader left as it is.
TEST(IoAnalysis, WhichMethodsStillThrow) {
  const Program program(
      "class A {\n"
      "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\n"
      "  static String ask() throws IOException { return flux.readLine(); }\n"
      "  static void save() throws IOException { new FileWriter(\"f\").close(); }\n"
      "  static void both() throws IOException { ask(); save(); }\n"
      "  static void safe() { try { save(); } catch (IOException e) { } }\n"
      "  static void print() throws IOException { System.out.println(ask()); }\n"
      "  static void thrower() throws IOException { throw new IOException(); }\n"
      "  static void unchecked() throws IOException { throw new IllegalStateException(); }\n"
      "  static void files() throws IOException { Files.delete(p); }\n"
      "}\n");
  IoOptions converted;
  converted.converted_readers = {"flux"};
  const IoAnalysis io = analyse_io(program, converted);
  EXPECT_EQ(names(program, io.method_body_throws), "save both thrower files ");

  // The reader kept: its reads throw, and so does all that calls it.
  const IoAnalysis kept = analyse_io(program, IoOptions());
  EXPECT_EQ(names(program, kept.method_body_throws), "ask save both print thrower files ");

  // Every clause removed, as by default: nothing passes an exception on.
  IoOptions removed = converted;
  removed.io_throws_removed = true;
  EXPECT_EQ(names(program, analyse_io(program, removed).method_body_throws), "save thrower files ");
}

TEST(IoAnalysis, WhichTryBlocksStillThrow) {
  const Program program(
      "class A {\n"
      "  void f() {\n"
      "    try { flux.readLine(); } catch (IOException e) { }\n"
      "    try { new FileReader(\"f\"); } catch (IOException e) { }\n"
      "    try (BufferedReader flux = new BufferedReader(new InputStreamReader(System.in))) {\n"
      "    } catch (IOException e) { }\n"
      "    try (Reader r = new StringReader(\"\")) { } catch (IOException e) { }\n"
      "    try { try { g(); } catch (Exception e) { } } catch (IOException e) { }\n"
      "  }\n"
      "  void g() throws IOException { new FileWriter(\"f\"); }\n"
      "}\n");
  IoOptions options;
  options.converted_readers = {"flux"};
  const IoAnalysis io = analyse_io(program, options);
  EXPECT_EQ(io.try_body_throws, (std::vector<bool>{false, true, false, true, false, true}));
  options.readers_removed = false;  // the resource stays: its close() throws
  EXPECT_TRUE(analyse_io(program, options).try_body_throws[2]);
}

}  // namespace
}  // namespace java
