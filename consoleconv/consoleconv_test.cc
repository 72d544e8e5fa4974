// Runs the built consoleconv in a scratch directory, with a recording
// javac first on PATH.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#ifndef _WIN32
#include <chrono>
#include <csignal>
#include <thread>
#endif

#include "platform/system.h"
#include "platform/test_support.h"

namespace {

namespace fs = std::filesystem;
using testutil::native_lines;
using testutil::read_file;
using testutil::read_lines;

const std::string kSource =
    "import java.io.*;\r\n"
    "\r\n"
    "class Hello {\r\n"
    "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\r\n"
    "  public static void main(String[] args) throws IOException { \r\n"
    "    System.out.println(\"Hello \" + flux.readLine());\r\n"
    "  }\r\n"
    "}\r\n";

const std::string kConverted =
    "class Hello {\r\n"
    "  public static void main(String[] args) {\r\n"
    "    Console.setTitle(\"Hello\");\r\n"
    "    Console.out.println(\"Hello \" + Console.in.readLine());\r\n"
    "  }\r\n"
    "}\r\n";

class ConsoleconvTest : public ::testing::Test {
 protected:
  ConsoleconvTest() : cwd(dir.path()), path(dir.path() / "bin") {
    fs::create_directories(dir.path() / "src");
    fs::create_directories(dir.path() / "bin");
    fs::create_directories(dir.path() / "out");
    testutil::write_file(dir.path() / "src" / "Hello.java", kSource);
    testutil::write_library_stand_in(dir.path() / "out");
  }

  void SetUp() override { testutil::write_recording_tool(dir.path() / "bin", "javac", log()); }

  fs::path log() { return dir.path() / "javac.log"; }
  std::string src_hello() { return std::string("src") + platform::path_separator() + "Hello"; }

  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd;
  testutil::ScopedPathPrepend path;
};

TEST_F(ConsoleconvTest, ConvertsIntoTheDestinationAndCompilesThere) {
  auto run = testutil::run_program("consoleconv", {src_hello(), "out"});
  const std::string sep(1, platform::path_separator());
  EXPECT_EQ(run.out, native_lines("Fichier java source      : src" + sep + "Hello.java\n"
                                  "Fichier java destination : out" + sep + "Hello.java\n"
                                  "Classe source            : Hello\n"
                                  "Classe destination       : Hello\n"
                                  "247 183 3 2\n246 0 21 0\n225 15 86 0\n139 55 19 0\n"
                                  "120 49 10 42\n152 6 5 5\n152 95 10 11\n153 126 13 19\n"));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(read_file(dir.path() / "out" / "Hello.java"), kConverted);
  EXPECT_EQ(read_lines(log()),
            (std::vector<std::string>{
                dir.str("out"),
                "-Xlint:deprecation -Xlint:unchecked -source 1.3 -target 1.3 Hello.java"}));
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "Manifest.mf"));
}

TEST_F(ConsoleconvTest, UsageErrorsExitTwoAndNothingRuns) {
  for (std::vector<std::string> args :
       {std::vector<std::string>{},
        {src_hello()},
        {src_hello(), ""},
        {"", "out"},
        {src_hello(), "out", "extra"},
        {"--nope", src_hello(), "out"},
        {"src" + std::string(1, platform::path_separator()), "out"}}) {
    auto run = testutil::run_program("consoleconv", args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("consoleconv: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(native_lines("\nTry 'consoleconv --help'.\n")), std::string::npos);
  }
  EXPECT_FALSE(fs::exists(log()));
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "Hello.java"));
}

// Run as installed: the JDK is told from its release file, and javac is
// still called once, with options it accepts.
TEST_F(ConsoleconvTest, AModernJdkIsAskedForRelease8) {
  fs::path bin = testutil::write_fake_jdk(dir.path() / "jdk17", "17.0.2", log());
  testutil::ScopedPathPrepend jdk(bin);
  auto run = testutil::run_program("consoleconv", {src_hello(), "out"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(read_lines(log()),
            (std::vector<std::string>{
                dir.str("out"), "-Xlint:deprecation -Xlint:unchecked --release 8 Hello.java"}));
}

TEST_F(ConsoleconvTest, WithoutJavacOnPathOneLineSaysSo) {
  testutil::ScopedEnv no_jdk("PATH", dir.str("out"));
  auto run = testutil::run_program("consoleconv", {src_hello(), "out"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, native_lines("consoleconv: error: javac not found on PATH; install a JDK\n"));
  EXPECT_EQ(read_file(dir.path() / "out" / "Hello.java"), kConverted);
}

#ifndef _WIN32
TEST_F(ConsoleconvTest, AFullStandardOutputFailsTheRun) {
  auto run =
      testutil::run_command_line("(" + (testutil::executable_directory() / "consoleconv").string() +
                                 " " + src_hello() + " out >/dev/full)");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "consoleconv: error: cannot write to standard output\n");
}

// Started with descriptor 1 closed, the destination must not become it:
// the lines meant for standard output are lost (and that is an error), the
// file holds only the converted source.
TEST_F(ConsoleconvTest, AClosedStandardOutputNeverReachesTheDestination) {
  std::string lf = kSource;
  for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  lf.replace(lf.find("class Hello"), 11, "class Lf");
  testutil::write_file(dir.path() / "src" / "Lf.java", lf);
  testutil::Child::Options options;
  options.close_stdout = true;
  testutil::Child child("consoleconv", {"--lenient", "src/Lf", "out"}, options);
  auto run = child.wait();
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "consoleconv: error: cannot write to standard output\n");
  EXPECT_EQ(read_file(dir.path() / "out" / "Lf.java"),
            "\n\nclass Lf { static { Console.setTitle(\"Lf\"); }\n\n"
            "  public static void main(String[] args) {\n"
            "    Console.out.println(\"Hello \" + Console.in.readLine());\n  }\n}\n");

  auto noted = testutil::Child("consoleconv", {"src/Lf", "out"}, options).wait();
  EXPECT_NE(noted.err.find("src/Lf.java:1: note: this line ends in LF"), std::string::npos);
  EXPECT_EQ(read_file(dir.path() / "out" / "Lf.java").find("Fichier"), std::string::npos);
}

// A program of `lines` times a few lines that all need changing.
std::string big_program(size_t lines) {
  std::string text =
      "import java.io.*;\r\n\r\nclass Big {\r\n"
      "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\r\n"
      "  public static void main(String[] args) throws IOException {\r\n";
  for (size_t i = 0; i < lines; ++i)
    text += "    System.out.println(flux.readLine() + \"Big\"); \r\n";
  return text + "  }\r\n}\r\n";
}

// Killed at any moment, a conversion leaves its destination as it was or
// complete, never half written nor emptied.
TEST_F(ConsoleconvTest, AKilledConversionLeavesTheOldFileOrTheWholeNewOne) {
  testutil::write_file(dir.path() / "src" / "Big.java", big_program(50000));
  ASSERT_EQ(testutil::Child("consoleconv", {"src/Big", "out"}).wait().status, 0);
  const std::string converted = read_file(dir.path() / "out" / "Big.java");
  ASSERT_GT(converted.size(), 1000000u);
  std::mt19937 random(2026);
  for (int round = 0; round < 30; ++round) {
    testutil::write_file(dir.path() / "out" / "Big.java", "old");
    testutil::Child child("consoleconv", {"src/Big", "out"});
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 150000));
    child.kill(SIGKILL);
    child.wait();
    const std::string now = read_file(dir.path() / "out" / "Big.java");
    ASSERT_TRUE(now == "old" || now == converted) << "round " << round << ": " << now.size();
  }
}

TEST_F(ConsoleconvTest, RunningOutOfMemoryIsAnErrorAndLeavesTheDestination) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#endif
  testutil::write_file(dir.path() / "src" / "Big.java", big_program(1500000));
  testutil::write_file(dir.path() / "out" / "Big.java", "old");
  testutil::Child::Options options;
  options.address_space = 256ul << 20;
  for (const char* mode : {"--lenient", "--"}) {
    auto run = testutil::Child("consoleconv", {mode, "src/Big", "out"}, options).wait();
    EXPECT_EQ(run.status, 1) << mode << run.err;
    EXPECT_EQ(run.err, "consoleconv: error: out of memory converting src/Big.java\n") << mode;
    EXPECT_EQ(read_file(dir.path() / "out" / "Big.java"), "old");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "out"), fs::directory_iterator()), 7);
}
#endif

TEST_F(ConsoleconvTest, MissingSourceStillCompilesButFails) {
  auto run = testutil::run_program("consoleconv", {"Nothing", "out"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find(native_lines("Classe destination       : Nothing\nProbleme!!!\n")),
            std::string::npos);
  EXPECT_NE(run.err.find("Nothing.java"), std::string::npos);
  EXPECT_EQ(read_lines(log()).size(), 2u);
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "Nothing.java"));
}

TEST_F(ConsoleconvTest, DestinationHoldingTheSourceIsRefused) {
  auto run = testutil::run_program("consoleconv", {src_hello(), "src"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Probleme!!!"), std::string::npos);
  EXPECT_EQ(read_file(dir.path() / "src" / "Hello.java"), kSource);
}

TEST_F(ConsoleconvTest, FailingCompilerFailsTheRun) {
  testutil::write_recording_tool(dir.path() / "bin", "javac", log(), 1);
  auto run = testutil::run_program("consoleconv", {src_hello(), "out"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(read_file(dir.path() / "out" / "Hello.java"), kConverted);
}

#ifdef _WIN32
TEST_F(ConsoleconvTest, AnInterpreterThatCannotStartFailsTheCompileStep) {
  testutil::write_file(dir.path() / "broken.exe", "not a program");
  // Broken for the program only: the test starts it through cmd itself.
  std::string program =
      (testutil::executable_directory() / testutil::program_file("consoleconv")).string();
  auto run = testutil::run_command_line("set \"COMSPEC=" + dir.str("broken.exe") + "\" && \"" +
                                        program + "\" " + src_hello() + " out");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot start the command interpreter"), std::string::npos);
  EXPECT_EQ(read_file(dir.path() / "out" / "Hello.java"), kConverted);
}
#endif

}  // namespace
