// Runs the built consolepack in a scratch directory, with recording javac
// and jar stand-ins first on PATH.
#include <gtest/gtest.h>

#include <filesystem>

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
    "  public static void main(String[] args) throws IOException {\r\n"
    "    Hello h = new Hello();\r\n"
    "    System.out.println(flux.readLine());\r\n"
    "  }\r\n"
    "}\r\n";

const std::vector<std::string> kJarCommands = {
    "cvfm helloEnConsole.jar Manifest.mf HelloEnConsole.class",
    "uvf helloEnConsole.jar CanvasConsole.class",
    "uvf helloEnConsole.jar Console.class",
    "uvf helloEnConsole.jar ConsolePrinter.class",
    "uvf helloEnConsole.jar ConsoleReader.class",
    "uvf helloEnConsole.jar FrameConsole.class",
    "uvf helloEnConsole.jar CurseurCanvasConsole.class"};

std::string sep() { return std::string(1, platform::path_separator()); }

class ConsolepackTest : public ::testing::Test {
 protected:
  ConsolepackTest() : cwd(dir.path()), path(dir.path() / "bin") {
    for (const char* sub : {"src", "out", "bin", "build/out"})
      fs::create_directories(dir.path() / sub);
    for (const char* sub : {"out", "build/out"}) testutil::write_library_stand_in(dir.path() / sub);
    testutil::write_file(dir.path() / "src" / "Hello.java", kSource);
    tools(0, 0);
  }

  // javac and jar both log to one file, so their order shows.
  void tools(int javac_status, int jar_status) {
    testutil::write_recording_tool(dir.path() / "bin", "javac", log(), javac_status);
    testutil::write_recording_tool(dir.path() / "bin", "jar", log(), jar_status);
  }

  fs::path log() { return dir.path() / "tools.log"; }

  // The log expected when everything ran in `directory`.
  std::vector<std::string> expected_log(const std::string& directory) {
    std::vector<std::string> lines = {
        directory, "-Xlint:deprecation -Xlint:unchecked -source 1.3 -target 1.3 HelloEnConsole.java"};
    for (const std::string& command : kJarCommands) {
      lines.push_back(directory);
      lines.push_back(command);
    }
    return lines;
  }

  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd;
  testutil::ScopedPathPrepend path;
};

TEST_F(ConsolepackTest, ConvertsCompilesAndPackagesInsideTheDestination) {
  auto run = testutil::run_program("consolepack", {"src" + sep() + "Hello", "out"});
  EXPECT_EQ(run.out, native_lines("Fichier java source      : src" + sep() + "Hello.java\n"
                                  "Fichier java destination : out" + sep() +
                                  "HelloEnConsole.java\n"
                                  "Classe source            : Hello\n"
                                  "Classe destination       : HelloEnConsole\n"
                                  "263 0 21 0\n242 15 86 0\n156 55 19 0\n"
                                  "137 49 10 42\n169 6 5 14\n178 104 5 14\n187 127 5 14\n"
                                  "196 150 10 11\n197 170 13 19\n"));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(read_file(dir.path() / "out" / "HelloEnConsole.java"),
            "class HelloEnConsole {\r\n"
            "  public static void main(String[] args) {\r\n"
            "    Console.setTitle(\"Hello\");\r\n"
            "    HelloEnConsole h = new HelloEnConsole();\r\n"
            "    Console.out.println(Console.in.readLine());\r\n"
            "  }\r\n"
            "}\r\n");
  EXPECT_EQ(read_lines(log()), expected_log(dir.str("out")));
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "Manifest.mf"));
}

TEST_F(ConsolepackTest, NestedAndAbsoluteDestinationsPackageInPlace) {
  for (const std::string& destination : {"build" + sep() + "out", dir.str("out")}) {
    fs::remove(log());
    auto run = testutil::run_program("consolepack", {"src" + sep() + "Hello", destination});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(read_lines(log()), expected_log(fs::canonical(destination).string()));
    EXPECT_TRUE(fs::exists(fs::path(destination) / "HelloEnConsole.java"));
    EXPECT_FALSE(fs::exists(fs::path(destination) / "Manifest.mf"));
  }
}

// A copy installed elsewhere (as from the .deb or the zip) finds the library
// installed with it; a copy without one says so, and runs no tool.
TEST_F(ConsolepackTest, AnInstalledCopyFindsItsOwnLibrary) {
  fs::create_directories(dir.path() / "empty");
  const fs::path installed = testutil::install_program("consolepack", dir.path() / "usr", true);
  auto run = testutil::run_program_at(installed, {"src" + sep() + "Hello", "empty"});
  EXPECT_EQ(run.status, 0) << run.err;
#ifdef _WIN32
  const fs::path library = dir.path() / "usr" / "bin" / "console";
#else
  const fs::path library = dir.path() / "usr" / "share" / "consoletools" / "console";
#endif
  auto lines = read_lines(log());
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[1], "-Xlint:deprecation -Xlint:unchecked -source 1.3 -target 1.3 -cp " +
                          library.string() + " HelloEnConsole.java");
  EXPECT_EQ(lines[15],
            "uvf helloEnConsole.jar -C " + library.string() + " CurseurCanvasConsole.class");

  fs::remove(log());
  const fs::path bare = testutil::install_program("consolepack", dir.path() / "bare", false);
  run = testutil::run_program_at(bare, {"src" + sep() + "Hello", "empty"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, native_lines("consolepack: error: the console library is not in empty and "
                                  "none is installed; give --lib DIR\n"));
  EXPECT_TRUE(fs::exists(dir.path() / "empty" / "HelloEnConsole.java"));
  EXPECT_FALSE(fs::exists(log()));
}

#ifndef _WIN32
// Interrupted while jar runs, the run takes its manifest with it, so the
// next run is not refused, and puts back the jar an earlier run made.
TEST_F(ConsolepackTest, AnInterruptedRunLeavesNoManifestAndTheEarlierJar) {
  const fs::path jar = dir.path() / "out" / "helloEnConsole.jar";
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    for (const bool earlier : {true, false}) {
      testutil::write_file(dir.path() / "bin" / "jar",
                           "#!/bin/sh\nprintf partial >> \"$2\"\nsleep 2\n");
      fs::permissions(dir.path() / "bin" / "jar", fs::perms::owner_all);
      fs::remove(jar);
      if (earlier) testutil::write_file(jar, "earlier jar");
      testutil::Child child("consolepack", {"src" + sep() + "Hello", "out"});
      const fs::path manifest = dir.path() / "out" / "Manifest.mf";
      for (int i = 0;
           i < 2000 && !(fs::exists(manifest) && fs::exists(jar) && read_file(jar) == "partial");
           ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      ASSERT_TRUE(fs::exists(manifest));
      child.kill(signal);
      EXPECT_EQ(child.wait().status, 128 + signal);
      EXPECT_FALSE(fs::exists(manifest)) << signal;
      if (earlier)
        EXPECT_EQ(read_file(jar), "earlier jar");
      else
        EXPECT_FALSE(fs::exists(jar));
      for (const auto& entry : fs::directory_iterator(dir.path() / "out"))
        EXPECT_EQ(entry.path().filename().string().rfind(".helloEnConsole", 0), std::string::npos);
    }
  }
}
#endif

// Nothing is packed from a failed compile: no jar command runs, and the
// jar of an earlier run stays as it was.
TEST_F(ConsolepackTest, AFailedCompileMakesNoJar) {
  tools(1, 0);
  testutil::write_file(dir.path() / "out" / "helloEnConsole.jar", "earlier jar");
  testutil::write_file(dir.path() / "out" / "HelloEnConsole.class", "earlier class");
  auto run = testutil::run_program("consolepack", {"src" + sep() + "Hello", "out"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(read_lines(log()).size(), 2u) << "javac only";
  EXPECT_NE(run.err.find("consolepack: error: no jar was made: javac failed"), std::string::npos)
      << run.err;
  EXPECT_EQ(read_file(dir.path() / "out" / "helloEnConsole.jar"), "earlier jar");
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "Manifest.mf"));
}

#ifndef _WIN32
// A jar command that fails (a full disk) leaves the earlier jar as it was,
// and no part of the new one; every command still runs.
TEST_F(ConsolepackTest, AFailingJarCommandPutsTheEarlierJarBack) {
  tools(0, 0);
  const fs::path jar = dir.path() / "bin" / "jar";
  testutil::write_file(jar, "#!/bin/sh\necho \"$*\" >> '" + log().string() +
                                "'\nprintf partial >> \"$2\"\nexit 1\n");
  fs::permissions(jar, fs::perms::owner_all);
  for (const bool earlier : {true, false}) {
    fs::remove(log());
    fs::remove(dir.path() / "out" / "helloEnConsole.jar");
    if (earlier) testutil::write_file(dir.path() / "out" / "helloEnConsole.jar", "earlier jar");
    auto run = testutil::run_program("consolepack", {"src" + sep() + "Hello", "out"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(read_lines(log()).size(), 2u + 7u);
    if (earlier) {
      EXPECT_EQ(read_file(dir.path() / "out" / "helloEnConsole.jar"), "earlier jar");
      EXPECT_NE(run.err.find("the jar was not made; out" + sep() +
                             "helloEnConsole.jar is as it "
                             "was"),
                std::string::npos)
          << run.err;
    } else {
      EXPECT_FALSE(fs::exists(dir.path() / "out" / "helloEnConsole.jar"));
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path() / "out"))
      left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected = {"CanvasConsole.class",        "Console.class",
                                         "ConsolePrinter.class",       "ConsoleReader.class",
                                         "CurseurCanvasConsole.class", "FrameConsole.class",
                                         "HelloEnConsole.class",       "HelloEnConsole.java"};
    if (earlier) expected.push_back("helloEnConsole.jar");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
  }
}
#endif

TEST_F(ConsolepackTest, UnenterableDestinationRunsNoToolAndFails) {
  auto run = testutil::run_program("consolepack", {"src" + sep() + "Hello", "missing"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Probleme!!!"), std::string::npos);
  EXPECT_NE(run.err.find("consolepack: error: cannot enter the directory missing: "),
            std::string::npos);
  EXPECT_FALSE(fs::exists(log()));
}

TEST_F(ConsolepackTest, MissingArgumentsGetUsage) {
  auto run = testutil::run_program("consolepack", {"src" + sep() + "Hello"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, native_lines("consolepack: missing DESTINATION operand after 'src" + sep() +
                                  "Hello'\nTry 'consolepack --help'.\n"));
}

TEST_F(ConsolepackTest, AnExistingManifestStopsTheRunBeforeAnythingIsWritten) {
  testutil::write_file(dir.path() / "out" / "Manifest.mf", "Main-Class: Mine\r\n");
  auto run = testutil::run_program("consolepack", {"src" + sep() + "Hello", "out"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("consolepack: error: out" + sep() + "Manifest.mf already exists"),
            std::string::npos);
  EXPECT_EQ(read_file(dir.path() / "out" / "Manifest.mf"), "Main-Class: Mine\r\n");
  EXPECT_FALSE(fs::exists(log()));
}

}  // namespace
