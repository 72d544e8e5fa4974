#include "convert/build_steps.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/test_support.h"
#include "platform/test_system.h"

namespace convert {
namespace {

namespace fs = std::filesystem;

const std::string kJavac = "javac -Xlint:deprecation -Xlint:unchecked -source 1.3 -target 1.3 ";

class BuildStepsTest : public ::testing::Test {
 protected:
  BuildStepsTest() : cwd(dir.path()) {
    system.command_status = [this](const std::string&) { return status; };
  }

  std::string here() { return fs::current_path().string(); }

  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd;
  platform::TestSystem system;
  std::ostringstream out, err;
  platform::Io io{system, out, err, "test"};
  std::optional<int> status = 0;
};

TEST_F(BuildStepsTest, CompilesInsideTheDestinationAndComesBack) {
  fs::create_directories(dir.path() / "a" / "b");
  for (const std::string& destination : {std::string("a"), std::string("a/b"), std::string("."), dir.str("a")}) {
    system.commands.clear();
    fs::path expected = fs::canonical(destination);
    EXPECT_TRUE(compile_class(io, "HelloEnConsole", destination));
    ASSERT_EQ(system.commands.size(), 1u);
    EXPECT_EQ(system.commands[0].text, kJavac + "HelloEnConsole.java");
    EXPECT_EQ(fs::path(system.commands[0].directory), expected) << destination;
    EXPECT_EQ(here(), dir.str()) << destination;
  }
}

TEST_F(BuildStepsTest, ParentDestinationRunsThereAndComesBack) {
  fs::create_directories(dir.path() / "a");
  testutil::ScopedCurrentDirectory inside(dir.path() / "a");
  EXPECT_TRUE(compile_class(io, "Hello", ".."));
  ASSERT_EQ(system.commands.size(), 1u);
  EXPECT_EQ(fs::path(system.commands[0].directory), dir.path());
  EXPECT_EQ(fs::current_path(), dir.path() / "a");
}

TEST_F(BuildStepsTest, CompilerFailureOrNoInterpreterFailsTheStep) {
  fs::create_directories(dir.path() / "out");
  status = 1;
  EXPECT_FALSE(compile_class(io, "Hello", "out"));
  status = std::nullopt;
  EXPECT_FALSE(compile_class(io, "Hello", "out"));
  EXPECT_NE(err.str().find("cannot start the command interpreter"), std::string::npos);
  EXPECT_EQ(here(), dir.str());
}

TEST_F(BuildStepsTest, UnenterableDestinationRunsNothing) {
  fs::create_directories(dir.path() / "out");
  system.unenterable.insert("out");
  EXPECT_FALSE(compile_class(io, "Hello", "out"));
  EXPECT_FALSE(compile_class(io, "Hello", "missing"));
  EXPECT_TRUE(system.commands.empty());
  EXPECT_NE(err.str().find("cannot enter the directory out"), std::string::npos);
  EXPECT_EQ(here(), dir.str());
}

TEST_F(BuildStepsTest, NamesThatNeedItAreQuotedAndUnsafeOnesRefused) {
  fs::create_directories(dir.path() / "out");
  EXPECT_TRUE(compile_class(io, "My Class", "out"));
  ASSERT_EQ(system.commands.size(), 1u);
#ifdef _WIN32
  EXPECT_EQ(system.commands[0].text, kJavac + "\"My Class.java\"");
  EXPECT_FALSE(compile_class(io, "100%", "out"));
#else
  EXPECT_EQ(system.commands[0].text, kJavac + "'My Class.java'");
#endif
  EXPECT_FALSE(compile_class(io, "-verbose", "out"));
  EXPECT_EQ(system.commands.size(), 1u);
}

}  // namespace
}  // namespace convert

namespace convert {
namespace {

TEST(JarName, LowersOnlyAnUpperCaseAsciiFirstLetter) {
  EXPECT_EQ(jar_name("HelloEnConsole"), "helloEnConsole.jar");
  EXPECT_EQ(jar_name("helloEnConsole"), "helloEnConsole.jar");
  EXPECT_EQ(jar_name("_xEnConsole"), "_xEnConsole.jar");
  EXPECT_EQ(jar_name("\xe0xEnConsole"), "\xe0xEnConsole.jar");
  EXPECT_EQ(jar_name("ZEnConsole"), "zEnConsole.jar");
}

TEST_F(BuildStepsTest, ManifestHoldsThreeCrLfLines) {
  fs::create_directories(dir.path() / "out");
  EXPECT_TRUE(write_manifest(io, "HelloEnConsole", "out"));
  EXPECT_EQ(testutil::read_file(dir.path() / "out" / "Manifest.mf"),
            "Manifest-Version: 1.0\r\nCreated-By: 1.5.0 (Sun Microsystems Inc.)\r\n"
            "Main-Class: HelloEnConsole\r\n");
  EXPECT_TRUE(remove_manifest(io, "out"));
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "Manifest.mf"));
  EXPECT_FALSE(remove_manifest(io, "out"));
  EXPECT_FALSE(write_manifest(io, "HelloEnConsole", "missing"));
  EXPECT_NE(err.str().find("Manifest.mf"), std::string::npos);
}

TEST_F(BuildStepsTest, AManifestAlreadyThereIsNeverOverwritten) {
  fs::create_directories(dir.path() / "out");
  testutil::write_file(dir.path() / "out" / "Manifest.mf", "mine");
  EXPECT_FALSE(write_manifest(io, "HelloEnConsole", "out"));
  EXPECT_EQ(testutil::read_file(dir.path() / "out" / "Manifest.mf"), "mine");
  EXPECT_EQ(err.str().rfind("test: error: cannot write out", 0), 0u) << err.str();
}

TEST_F(BuildStepsTest, ALibraryDirectoryIsQuotedLikeAnyName) {
  fs::create_directories(dir.path() / "out");
  BuildOptions options;
  options.class_version = "--release 8";
  options.library_directory = dir.str("my lib");
  EXPECT_TRUE(compile_class(io, "Hello", "out", options));
  EXPECT_TRUE(build_jar(io, "HelloEnConsole", "out", options));
  ASSERT_EQ(system.commands.size(), 8u);
#ifdef _WIN32
  const std::string lib = "\"" + dir.str("my lib") + "\"";
#else
  const std::string lib = "'" + dir.str("my lib") + "'";
#endif
  EXPECT_EQ(system.commands[0].text,
            "javac -Xlint:deprecation -Xlint:unchecked --release 8 -cp " + lib + " Hello.java");
  EXPECT_EQ(system.commands[4].text,
            "jar uvf helloEnConsole.jar -C " + lib + " ConsolePrinter.class");
}

TEST_F(BuildStepsTest, JarCommandsRunInOrderInsideTheDestination) {
  fs::create_directories(dir.path() / "build" / "out");
  for (const std::string& destination : {std::string("build/out"), std::string("."),
                                         dir.str("build")}) {
    system.commands.clear();
    EXPECT_TRUE(build_jar(io, "HelloEnConsole", destination));
    const std::vector<std::string> expected = {
        "jar cvfm helloEnConsole.jar Manifest.mf HelloEnConsole.class",
        "jar uvf helloEnConsole.jar CanvasConsole.class",
        "jar uvf helloEnConsole.jar Console.class",
        "jar uvf helloEnConsole.jar ConsolePrinter.class",
        "jar uvf helloEnConsole.jar ConsoleReader.class",
        "jar uvf helloEnConsole.jar FrameConsole.class",
        "jar uvf helloEnConsole.jar CurseurCanvasConsole.class"};
    ASSERT_EQ(system.commands.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(system.commands[i].text, expected[i]);
      EXPECT_EQ(fs::path(system.commands[i].directory), fs::canonical(destination));
    }
    EXPECT_EQ(here(), dir.str());
  }
}

TEST_F(BuildStepsTest, EveryJarCommandRunsEvenWhenOneFails) {
  fs::create_directories(dir.path() / "out");
  system.command_status = [](const std::string& command) {
    return command.find("cvfm") != std::string::npos ? 1 : 0;
  };
  EXPECT_FALSE(build_jar(io, "HelloEnConsole", "out"));
  EXPECT_EQ(system.commands.size(), 7u);
  EXPECT_EQ(here(), dir.str());
}

// The program's other classes are told by what the compile changed: new
// files, rewritten ones, and the program's nested ones; not its own class
// nor the library's, which the jar has already, nor what the compile left.
TEST_F(BuildStepsTest, TheProgramsClassesAreWhatTheCompileWrote) {
  fs::create_directories(dir.path() / "out");
  const auto write = [&](const std::string& name, const std::string& bytes) {
    testutil::write_file(dir.path() / "out" / name, bytes);
  };
  write("Old.class", "left alone");
  write("Rewritten.class", "before");
  write("Console.class", "library");
  write("HelloEnConsole$Node.class", "same");
  write("notes.txt", "");
  const ClassFiles before = class_files(system, "out");
  EXPECT_EQ(before.size(), 4u);
  system.command_status = [&](const std::string&) {
    write("HelloEnConsole.class", "own");
    write("HelloEnConsole$1.class", "anonymous");
    write("Circle.class", "second class");
    write("Rewritten.class", "after, longer");
    write("Console.class", "recompiled");
    return 0;
  };
  EXPECT_TRUE(compile_class(io, "HelloEnConsole", "out"));
  EXPECT_EQ(program_classes(before, class_files(system, "out"), "HelloEnConsole"),
            (std::vector<std::string>{"Circle.class", "HelloEnConsole$1.class",
                                      "HelloEnConsole$Node.class", "Rewritten.class"}));

  system.commands.clear();
  system.command_status = [](const std::string&) { return 0; };
  EXPECT_TRUE(
      build_jar(io, "HelloEnConsole", "out", {}, {"Circle.class", "HelloEnConsole$1.class"}));
  ASSERT_EQ(system.commands.size(), 9u);
  EXPECT_EQ(system.commands[7].text, "jar uvf helloEnConsole.jar Circle.class");
#ifdef _WIN32
  EXPECT_EQ(system.commands[8].text, "jar uvf helloEnConsole.jar HelloEnConsole$1.class");
#else
  EXPECT_EQ(system.commands[8].text, "jar uvf helloEnConsole.jar 'HelloEnConsole$1.class'");
#endif
}

}  // namespace
}  // namespace convert
