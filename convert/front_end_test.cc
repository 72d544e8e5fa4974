// The converters' command line, run in-process on real files, with the
// commands recorded rather than run.
#include "convert/front_end.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "platform/test_support.h"
#include "platform/test_system.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace convert {
namespace {

namespace fs = std::filesystem;
using testutil::read_file;
using testutil::write_file;

const std::string kSource = "class Hello {\r\n  void f() { System.out.println(); }\r\n}\r\n";
const std::string kJavac = "javac -Xlint:deprecation -Xlint:unchecked ";

std::string sep() { return std::string(1, platform::path_separator()); }

class FrontEndTest : public ::testing::Test {
 protected:
  FrontEndTest() : cwd(dir.path()), jdk_path(jdk("17.0.2")) {
    fs::create_directories(dir.path() / "src");
    fs::create_directories(dir.path() / "out");
    write_file(dir.path() / "src" / "Hello.java", kSource);
    testutil::write_library_stand_in(dir.path() / "out");
    system.command_status = [](const std::string& command) { return compiled(command); };
  }

  // What a javac that succeeds leaves: the class of its last argument, in
  // the directory it runs in. Status 0 for any command.
  static int compiled(const std::string& command) {
    const size_t name = command.rfind(' ') + 1;
    if (command.rfind("javac", 0) == 0 && command.size() > name + 5)
      write_file(fs::current_path() / (command.substr(name, command.size() - name - 5) + ".class"),
                 "");
    return 0;
  }

  // A stand-in JDK of that version (none: no release file) first on PATH.
  fs::path jdk(const std::optional<std::string>& version) {
    fs::path home = dir.path() / ("jdk-" + version.value_or("unknown"));
    return testutil::write_fake_jdk(home, version, dir.path() / "unused.log");
  }

  int run(const Converter& converter, const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    system.commands.clear();
    platform::Io io{system, out, err, converter.name};
    return convert::run(io, converter, args);
  }

  std::vector<std::string> commands() const {
    std::vector<std::string> texts;
    for (const auto& command : system.commands) texts.push_back(command.text);
    return texts;
  }

  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd;
  testutil::ScopedPathPrepend jdk_path;
  platform::TestSystem system;
  std::ostringstream out, err;
};

TEST_F(FrontEndTest, UsageErrorsNameTheProblemAndDoNothing) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "missing SOURCE and DESTINATION operands"},
      {{"src/Hello"}, "missing DESTINATION operand after 'src/Hello'"},
      {{"src/Hello", "out", "extra"}, "extra operand 'extra'"},
      {{"--bogus", "src/Hello", "out"}, "unrecognized option '--bogus'"},
      {{"-x", "src/Hello", "out"}, "invalid option -- 'x'"},
      {{"", "out"}, "SOURCE is empty"},
      {{"src/Hello", ""}, "DESTINATION is empty"},
      {{"src/", "out"}, "SOURCE 'src/' names no class"},
      {{"src/.java", "out"}, "SOURCE 'src/.java' names no class"},
      {{"src/Hello", "out", "--lib"}, "option '--lib' requires an argument"},
      {{"--help=me"}, "option '--help' doesn't allow an argument"},
      {{"--lib=", "src/Hello", "out"}, "option '--lib' requires a directory, not an empty name"},
      {{"--release=5", "src/Hello", "out"},
       "invalid release '5' for '--release': a Java release from 6 on, as 8 or 17"},
      {{"--release", "1.8", "src/Hello", "out"},
       "invalid release '1.8' for '--release': a Java release from 6 on, as 8 or 17"},
  };
  for (const Converter* converter : {&kConsoleconv, &kConsolepack}) {
    for (const auto& [args, problem] : cases) {
      EXPECT_EQ(run(*converter, args), 2) << problem;
      EXPECT_EQ(out.str(), "");
      EXPECT_EQ(err.str(), std::string(converter->name) + ": " + problem + "\nTry '" +
                               std::string(converter->name) + " --help'.\n");
    }
  }
  EXPECT_TRUE(system.commands.empty());
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "Hello.java"));
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "HelloEnConsole.java"));
}

TEST_F(FrontEndTest, HelpAndVersionGoToStandardOutput) {
  for (const char* help : {"--help", "-h"}) {
    EXPECT_EQ(run(kConsolepack, {help, "ignored", "operands", "too"}), 0);
    EXPECT_EQ(out.str().rfind("Usage: consolepack [OPTION]... SOURCE DESTINATION\n", 0), 0u);
    for (const char* option : {"--lib=DIR", "-h, --help", "--version", "Exit status:"})
      EXPECT_NE(out.str().find(option), std::string::npos) << option;
    EXPECT_EQ(err.str(), "");
  }
  EXPECT_EQ(run(kConsoleconv, {"--version"}), 0);
  EXPECT_EQ(out.str(), "consoleconv " CONSOLETOOLS_VERSION "\n");
  EXPECT_TRUE(system.commands.empty());
}

TEST_F(FrontEndTest, DoubleDashLetsASourceStartWithADash) {
  fs::create_directories(dir.path() / "-x");
  write_file(dir.path() / "-x" / "Name.java", "class Name {}\r\n");
  EXPECT_EQ(run(kConsoleconv, {"--", "-x/Name", "out"}), 0) << err.str();
  EXPECT_EQ(read_file(dir.path() / "out" / "Name.java"), "class Name {}\r\n");
  EXPECT_EQ(commands(), std::vector<std::string>{kJavac + "--release 8 Name.java"});
}

TEST_F(FrontEndTest, SourceMayEndInJavaUnlessTheDoubledNameExists) {
  EXPECT_EQ(run(kConsoleconv, {"src/Hello.java", "out"}), 0) << err.str();
  EXPECT_EQ(out.str().rfind("Fichier java source      : src/Hello.java\n", 0), 0u);
  EXPECT_NE(out.str().find("Classe source            : Hello\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir.path() / "out" / "Hello.java"));

  write_file(dir.path() / "src" / "Hello.java.java", "class X {}\r\n");
  run(kConsoleconv, {"src/Hello.java", "out"});
  EXPECT_NE(out.str().find("Fichier java source      : src/Hello.java.java\n"), std::string::npos);
}

TEST_F(FrontEndTest, TheJdkOnPathDecidesTheClassVersion) {
  EXPECT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 0) << err.str();
  EXPECT_EQ(commands(), std::vector<std::string>{kJavac + "--release 8 Hello.java"});
  {
    testutil::ScopedPathPrepend jdk8(jdk("1.8.0_392"));
    EXPECT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 0);
    EXPECT_EQ(commands(), std::vector<std::string>{kJavac + "-source 1.3 -target 1.3 Hello.java"});
  }
  testutil::ScopedPathPrepend unknown(jdk(std::nullopt));
  EXPECT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 0);
  EXPECT_EQ(commands(), std::vector<std::string>{kJavac + "-source 1.3 -target 1.3 Hello.java"});
}

// By hand in either mode; with --lenient, as the program needs it.
TEST_F(FrontEndTest, TheReleaseIsGivenOrTheOneTheProgramNeeds) {
  EXPECT_EQ(run(kConsoleconv, {"--release", "11", "src/Hello", "out"}), 0) << err.str();
  EXPECT_EQ(commands(), std::vector<std::string>{kJavac + "--release 11 Hello.java"});

  write_file(
      dir.path() / "src" / "Hello.java",
      "class Hello {\n  void f() {\n    var s = \"x\";\n    System.out.println(s);\n  }\n}\n");
  EXPECT_EQ(run(kConsoleconv, {"--lenient", "src/Hello", "out"}), 0) << err.str();
  EXPECT_EQ(commands(), std::vector<std::string>{kJavac + "--release 10 Hello.java"});
  EXPECT_NE(
      err.str().find("src/Hello.java:3: note: 'var' needs Java 10; compiling with --release 10\n"),
      std::string::npos)
      << err.str();

  EXPECT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 0) << err.str();
  EXPECT_EQ(commands(), std::vector<std::string>{kJavac + "--release 8 Hello.java"});
  EXPECT_NE(err.str().find("src/Hello.java:3: note: 'var' needs Java 10, newer than javac is asked "
                           "for (--release 8); try --lenient or --release 10\n"),
            std::string::npos)
      << err.str();

  testutil::ScopedPathPrepend jdk9(jdk("9.0.4"));
  EXPECT_EQ(run(kConsoleconv, {"--lenient", "src/Hello", "out"}), 0) << err.str();
  EXPECT_EQ(commands(), std::vector<std::string>{kJavac + "--release 9 Hello.java"});
  EXPECT_NE(err.str().find("newer than the JDK on PATH (9); compiling with --release 9"),
            std::string::npos);
  EXPECT_EQ(run(kConsoleconv, {"--release=10", "src/Hello", "out"}), 1);
  EXPECT_EQ(err.str(),
            "consoleconv: error: --release 10 needs JDK 10 or later; the javac on PATH is from "
            "JDK 9\n");
  EXPECT_TRUE(system.commands.empty());
}

TEST_F(FrontEndTest, LibraryDirectoryIsPassedAbsoluteToJavacAndJar) {
  fs::create_directories(dir.path() / "lib");
  testutil::write_library_stand_in(dir.path() / "lib");
  const std::string lib = dir.str("lib");
  EXPECT_EQ(run(kConsolepack, {"--lib", "lib", "src/Hello", "out"}), 0) << err.str();
  auto texts = commands();
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[0], kJavac + "--release 8 -cp " + lib + " HelloEnConsole.java");
  EXPECT_EQ(texts[1], "jar cvfm helloEnConsole.jar Manifest.mf HelloEnConsole.class");
  EXPECT_EQ(texts[2], "jar uvf helloEnConsole.jar -C " + lib + " CanvasConsole.class");
  EXPECT_EQ(texts[7], "jar uvf helloEnConsole.jar -C " + lib + " CurseurCanvasConsole.class");

  write_file(dir.path() / "file", "");
  fs::create_directories(dir.path() / "partial");
  testutil::write_library_stand_in(dir.path() / "partial");
  fs::remove(dir.path() / "partial" / "ConsoleReader.class");
  for (const auto& [given, reason] : {std::pair<std::string, std::string>{"missing", ""},
                                      {"file", "it is not a directory"},
                                      {"partial", "it does not hold ConsoleReader.class"}}) {
    EXPECT_EQ(run(kConsolepack, {"--lib=" + given, "src/Hello", "out"}), 1);
    EXPECT_EQ(
        err.str().rfind(
            "consolepack: error: cannot use the library directory " + given + ": " + reason, 0),
        0u)
        << err.str();
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_EQ(system.commands.size(), 0u);
}

// A program of several files: javac finds what it uses among the other
// files beside SOURCE and writes their classes into the destination, which
// the jar then takes.
TEST_F(FrontEndTest, TheOtherFilesBesideTheSourceAreCompiledWithIt) {
  write_file(dir.path() / "src" / "Clavier.java", "class Clavier { }\n");
  write_file(dir.path() / "src" / "Notes.txt", "");
  fs::create_directories(dir.path() / "src" / "Sub.java");  // no file
  system.command_status = [&](const std::string& command) {
    if (command.rfind("javac", 0) == 0) write_file(fs::current_path() / "Clavier.class", "");
    return compiled(command);
  };
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 0) << err.str();
  const std::string src = fs::canonical(dir.path() / "src").string();
  auto texts = commands();
  ASSERT_EQ(texts.size(), 9u);
  EXPECT_EQ(texts[0], kJavac + "--release 8 -sourcepath " + src +
                          " -d . -Xprefer:source HelloEnConsole.java");
  EXPECT_EQ(texts[8], "jar uvf helloEnConsole.jar Clavier.class");

  // The destination's own file is no other file, even in the same folder.
  fs::remove(dir.path() / "src" / "Clavier.java");
  testutil::write_library_stand_in(dir.path() / "src");
  EXPECT_EQ(run(kConsoleconv, {"src/Hello", "src"}), 1);  // the source itself
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "src"}), 0) << err.str();
  EXPECT_EQ(commands()[0], kJavac + "--release 8 HelloEnConsole.java");
}

// A class of the program's named like one of the library's would take its
// place in the compile and the jar: one line, nothing compiled.
TEST_F(FrontEndTest, AClassNamedLikeTheLibrarysStopsTheRun) {
  write_file(dir.path() / "src" / "Hello.java",
             "class Hello {\n  static class FrameConsole { }\n}\n");
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 1);
  EXPECT_NE(err.str().find("\nconsolepack: error: src/Hello.java:2: the class FrameConsole has "
                           "the name of a class of the console library, whose place it would "
                           "take; rename it\n"),
            std::string::npos)
      << err.str();
  EXPECT_TRUE(system.commands.empty());

  write_file(dir.path() / "src" / "Hello.java", kSource);
  write_file(dir.path() / "src" / "Util.java", "class Util { }\nclass ConsoleReader { }\n");
  EXPECT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 1);
  EXPECT_EQ(err.str(), "consoleconv: error: " + fs::canonical(dir.path() / "src").string() + sep() +
                           "Util.java:2: the class ConsoleReader has the name of a class of the "
                           "console library, whose place it would take; rename it\n");
  // However it is written; and a mere use of the library is none.
  for (const char* declared : {"class /* the screen */ Console { }", "class \\u0043onsole { }",
                               "enum\n  FrameConsole { A }"}) {
    write_file(dir.path() / "src" / "Util.java", std::string("class Util { }\n") + declared + "\n");
    EXPECT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 1) << declared;
    EXPECT_NE(err.str().find("Util.java:"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find(" has the name of a class of the console library"), std::string::npos);
  }
  write_file(dir.path() / "src" / "Util.java",
             "class Util {\n  void f() { Console.out.println(\"class Console\"); }\n}\n");
  EXPECT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 0) << err.str();
  system.commands.clear();
  fs::remove(dir.path() / "src" / "Util.java");
  write_file(dir.path() / "src" / "Console.java", "// empty\n");
  EXPECT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 1);
  EXPECT_NE(err.str().find("Console.java has the name of a class of the console library"),
            std::string::npos);
  EXPECT_TRUE(system.commands.empty());

  // Renamed by consolepack, the class takes no place of the library's.
  fs::remove(dir.path() / "src" / "Console.java");
  write_file(dir.path() / "src" / "Console.java", "class Console {\n}\n");
  EXPECT_EQ(run(kConsolepack, {"src/Console", "out"}), 0) << err.str();
}

// A file whose class is named otherwise: a note names it, and no jar is
// made of a class javac did not write.
TEST_F(FrontEndTest, AClassNamedOtherwiseThanItsFileMakesNoJar) {
  write_file(dir.path() / "src" / "Hello.java",
             "class Bonjour {\r\n  public static void main(String[] args) {\r\n  }\r\n}\r\n");
  system.command_status = [](const std::string&) {
    write_file(fs::current_path() / "Bonjour.class", "");  // as javac names it
    return 0;
  };
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 1);
  EXPECT_NE(err.str().find("src/Hello.java:1: note: this file holds the class Bonjour, not Hello"),
            std::string::npos)
      << err.str();
  EXPECT_NE(err.str().find("consolepack: error: no jar was made: javac wrote no "
                           "HelloEnConsole.class"),
            std::string::npos)
      << err.str();
  ASSERT_EQ(commands().size(), 1u) << "javac only";
}

// The files below `folder`, each as "PATH: TEXT", in order.
std::vector<std::string> tree_of(const fs::path& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file())
      files.push_back(fs::relative(entry.path(), folder).generic_string() + ": " +
                      read_file(entry.path()));
  std::sort(files.begin(), files.end());
  return files;
}

#ifdef _WIN32
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

// What javac's -sourcepath names in `command`, unquoted (cmd.exe gets a
// list of two in double quotes).
std::string source_path_of(const std::string& command) {
  const size_t at = command.find("-sourcepath ") + 12;
  std::string path = command.substr(at, command.find(' ', at) - at);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  return path;
}

// With --lenient, a program in a package is compiled as written, and the
// converted file is a launcher. Its folder does not say where its package
// starts, so the files of the package are copied to the paths it gives
// them, for the compile only.
TEST_F(FrontEndTest, AProgramInAPackageOutOfPlaceIsCompiledFromCopies) {
  const std::string main =
      "package tp.un;\n\nclass Hello {\n  public static void main(String[] a) {\n"
      "    System.out.println(Clavier.lire());\n  }\n}\n";
  const std::string clavier =
      "package tp.un;\nclass Clavier { static String lire() { return \"\"; } }\n";
  write_file(dir.path() / "src" / "Hello.java", main);
  write_file(dir.path() / "src" / "Clavier.java", clavier);
  write_file(dir.path() / "src" / "Autre.java", "package tp.deux;\nclass Autre { }\n");
  std::string sourcepath;
  std::vector<std::string> copied;
  system.command_status = [&](const std::string& command) {
    if (command.rfind("javac", 0) == 0) {
      sourcepath = source_path_of(command);
      copied = tree_of(sourcepath);
    }
    return compiled(command);
  };
  EXPECT_EQ(run(kConsolepack, {"--lenient", "src/Hello", "out"}), 0) << err.str();
  EXPECT_EQ(fs::path(sourcepath).parent_path(), fs::canonical(dir.path() / "out"));
  EXPECT_EQ(copied, (std::vector<std::string>{"tp/un/Clavier.java: " + clavier,
                                              "tp/un/Hello.java: " + main}));
  EXPECT_FALSE(fs::exists(sourcepath));
  EXPECT_EQ(read_file(dir.path() / "src" / "Clavier.java"), clavier);
  // Hello is not public: the launcher reaches its main as java does.
  const std::string launcher = read_file(dir.path() / "out" / "HelloEnConsole.java");
  EXPECT_EQ(launcher.rfind("public class HelloEnConsole { public static void main(String[] args) "
                           "throws Throwable { Console.setTitle(\"Hello\"); "
                           "java.lang.reflect.Method main = Class.forName(\"tp.un.Hello\")",
                           0),
            0u)
      << launcher;
  EXPECT_NE(err.str().find("src/Hello.java:1: note: this file is in the package tp.un: the "
                           "program is compiled as written"),
            std::string::npos)
      << err.str();
}

// An IDE's source tree: the package's path says where the tree starts,
// and javac takes what the program uses from all of it, as it is; a file
// saved in another encoding than UTF-8 sends every file found to copies in
// UTF-8, the tree after them.
TEST_F(FrontEndTest, AnIdesSourceTreeIsCompiledFromItsRoot) {
  const fs::path src = dir.path() / "projet" / "src";
  const auto put = [](const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    write_file(path, text);
  };
  const std::string main =
      "package tp1;\n\nimport modele.Etudiant;\nimport static outils.Lire.ligne;\n\n"
      "public class Moyenne {\n  public static void main(String[] a) {\n"
      "    System.out.println(new Etudiant(ligne()) + \" \" + Bareme.COEF);\n  }\n}\n";
  const std::string etudiant =
      "package modele;\nimport tp1.Bareme;\npublic class Etudiant { public Etudiant(String n) "
      "{ } }\n";
  put(src / "tp1" / "Moyenne.java", main);
  put(src / "tp1" / "Bareme.java",
      "package tp1;\npublic class Bareme { public static "
      "final int COEF = 2; }\n");
  put(src / "modele" / "Etudiant.java", etudiant);
  put(src / "outils" / "Lire.java",
      "package outils;\npublic class Lire { public static String ligne() { return "
      "\"\"; } }\n");
  put(src / "inutile" / "Rien.java", "package inutile;\nclass Rien { }\n");
  std::string command;
  std::vector<std::string> copied;
  system.command_status = [&](const std::string& text) {
    if (text.rfind("javac", 0) == 0) {
      command = text;
      const std::string path = source_path_of(text);
      if (path.find(".consoletools-sources-") != std::string::npos)
        copied = tree_of(path.substr(0, path.find(kPathListSeparator)));
    }
    return compiled(text);
  };
  ASSERT_EQ(run(kConsolepack, {"--lenient", "projet/src/tp1/Moyenne.java", "out"}), 0) << err.str();
  EXPECT_EQ(command, kJavac + "--release 8 -sourcepath " + fs::canonical(src).string() +
                         " -d . -Xprefer:source MoyenneEnConsole.java");
  EXPECT_TRUE(copied.empty());
  EXPECT_EQ(read_file(dir.path() / "out" / "MoyenneEnConsole.java"),
            "public class MoyenneEnConsole { public static void main(String[] args) throws "
            "Throwable { Console.setTitle(\"Moyenne\"); tp1.Moyenne.main(args); } }\n");

  // A student's accents, saved by a Windows editor.
  write_file(src / "modele" / "Etudiant.java",
             "package modele;\nimport tp1.Bareme;\npublic class Etudiant { public Etudiant(String "
             "n) { } public String toString() { return \"\xE9l\xE8ve\"; } }\n");
  ASSERT_EQ(run(kConsolepack, {"--lenient", "projet/src/tp1/Moyenne.java", "out"}), 0) << err.str();
  const std::string path = source_path_of(command);
  EXPECT_EQ(path.substr(path.find(kPathListSeparator) + 1), fs::canonical(src).string());
  EXPECT_NE(command.find("--release 8 -encoding UTF-8 -sourcepath"), std::string::npos) << command;
  ASSERT_EQ(copied.size(), 4u);
  EXPECT_EQ(copied[0].substr(0, copied[0].find(':')), "modele/Etudiant.java");
  EXPECT_NE(copied[0].find("return \"\xC3\xA9l\xC3\xA8ve\";"), std::string::npos) << copied[0];
  EXPECT_EQ(copied[3], "tp1/Moyenne.java: " + main);
  EXPECT_FALSE(fs::exists(path.substr(0, path.find(kPathListSeparator))));
}

// A program of the unnamed package that imports a package of its folder
// gets its folder as the source path, alone or not.
TEST_F(FrontEndTest, APackageImportedFromTheSourcesFolderIsFound) {
  write_file(dir.path() / "src" / "Hello.java",
             "import util.Clavier;\nclass Hello {\n  public static void main(String[] a) {\n"
             "    System.out.println(Clavier.lire());\n  }\n}\n");
  fs::create_directories(dir.path() / "src" / "util");
  write_file(
      dir.path() / "src" / "util" / "Clavier.java",
      "package util;\npublic class Clavier { public static String lire() { return \"\"; } }\n");
  for (const Converter* converter : {&kConsoleconv, &kConsolepack}) {
    ASSERT_EQ(run(*converter, {"--lenient", "src/Hello", "out"}), 0) << err.str();
    const std::string cls = converter == &kConsoleconv ? "Hello" : "HelloEnConsole";
    EXPECT_EQ(commands().front(), kJavac + "--release 8 -sourcepath " +
                                      fs::canonical(dir.path() / "src").string() +
                                      " -d . -Xprefer:source " + cls + ".java");
  }
  // By default, as always: no other file beside it, no source path.
  ASSERT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 0) << err.str();
  EXPECT_EQ(commands().front(), kJavac + "--release 8 Hello.java");
}

// An installed copy keeps the library relative to its program:
// PREFIX/share/consoletools/console, or beside it in console/ (the Windows
// zip). It serves whenever the destination lacks the library.
TEST_F(FrontEndTest, WithoutTheLibraryInTheDestinationTheInstalledOneIsUsed) {
  fs::remove(dir.path() / "out" / "FrameConsole.class");
  for (const fs::path& relative :
       {fs::path("share") / "consoletools" / "console", fs::path("bin") / "console"}) {
    const fs::path prefix =
        dir.path() / ("prefix-" + std::to_string(relative.begin()->string().size()));
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / relative);
    testutil::write_library_stand_in(prefix / relative);
    system.executable = (prefix / "bin" / "consolepack").string();
    const std::string lib = fs::canonical(prefix / relative).string();
    EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 0) << err.str();
    auto texts = commands();
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts[0], kJavac + "--release 8 -cp " + lib + " HelloEnConsole.java");
    EXPECT_EQ(texts[3], "jar uvf helloEnConsole.jar -C " + lib + " Console.class");
  }
}

TEST_F(FrontEndTest, WithTheLibraryNowhereTheSourceIsConvertedAndNothingRuns) {
  fs::remove(dir.path() / "out" / "Console.class");
  fs::create_directories(dir.path() / "bare" / "bin");
  for (const std::optional<std::string>& program :
       {std::optional<std::string>((dir.path() / "bare" / "bin" / "consolepack").string()),
        std::optional<std::string>()}) {
    system.executable = program;
    EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 1);
    EXPECT_EQ(err.str(),
              "consolepack: error: the console library is not in out and none is installed; "
              "give --lib DIR\n");
    EXPECT_NE(out.str().find("Classe destination       : HelloEnConsole\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(dir.path() / "out" / "HelloEnConsole.java"));
    EXPECT_TRUE(system.commands.empty());
  }
}

// Another run's manifest appearing while this one compiles: no jar from it.
TEST_F(FrontEndTest, AJarIsMadeOnlyFromThisRunsOwnManifest) {
  const fs::path manifest = dir.path() / "out" / "Manifest.mf";
  system.command_status = [&](const std::string& command) {
    if (command.rfind("javac", 0) == 0) write_file(manifest, "Main-Class: Other\r\n");
    return compiled(command);
  };
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 1);
  EXPECT_EQ(commands().size(), 1u) << "javac only";
  EXPECT_NE(err.str().find("cannot write out" + sep() + "Manifest.mf: "), std::string::npos)
      << err.str();
  EXPECT_EQ(read_file(manifest), "Main-Class: Other\r\n");
}

TEST_F(FrontEndTest, AManifestOfTheUsersIsLeftAlone) {
  write_file(dir.path() / "out" / "Manifest.mf", "mine");
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "consolepack: error: out" + sep() +
                           "Manifest.mf already exists; it is left as it is, move it away and "
                           "run again\n");
  EXPECT_EQ(read_file(dir.path() / "out" / "Manifest.mf"), "mine");
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "HelloEnConsole.java"));
  EXPECT_TRUE(system.commands.empty());
}

#ifndef _WIN32
TEST_F(FrontEndTest, AManifestLinkIsNeitherFollowedNorRemoved) {
  write_file(dir.path() / "victim", "precious");
  fs::create_symlink(dir.path() / "victim", dir.path() / "out" / "Manifest.mf");
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 1);
  fs::remove(dir.path() / "out" / "Manifest.mf");
  fs::create_symlink(dir.path() / "nowhere", dir.path() / "out" / "Manifest.mf");
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 1);
  EXPECT_EQ(read_file(dir.path() / "victim"), "precious");
  EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "out" / "Manifest.mf"));
  EXPECT_TRUE(system.commands.empty());
}

TEST_F(FrontEndTest, AFifoSourceIsRefusedWithoutBlocking) {
  ASSERT_EQ(mkfifo((dir.path() / "src" / "Pipe.java").c_str(), 0600), 0);
  EXPECT_EQ(run(kConsoleconv, {"src/Pipe", "out"}), 1);
  EXPECT_NE(out.str().find("Probleme!!!\n"), std::string::npos);
  EXPECT_NE(err.str().find("cannot read src/Pipe.java: it is not a regular file"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "Pipe.java"));
}
#endif

TEST_F(FrontEndTest, ADirectorySourceIsRefused) {
  fs::create_directories(dir.path() / "src" / "Dir.java");
  EXPECT_EQ(run(kConsoleconv, {"src/Dir", "out"}), 1);
  EXPECT_NE(err.str().find("cannot read src/Dir.java: it is a directory"), std::string::npos)
      << err.str();
}

TEST_F(FrontEndTest, WithoutAJdkTheConversionStillHappensAndOneLineSaysWhy) {
  system.programs["javac"] = std::nullopt;
  EXPECT_EQ(run(kConsoleconv, {"src/Hello", "out"}), 1);
  EXPECT_EQ(err.str(), "consoleconv: error: javac not found on PATH; install a JDK\n");
  EXPECT_TRUE(fs::exists(dir.path() / "out" / "Hello.java"));
  system.programs["jar"] = std::nullopt;
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 1);
  EXPECT_EQ(err.str(), "consolepack: error: javac and jar not found on PATH; install a JDK\n");
  system.programs.erase("javac");
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "out"}), 1);
  EXPECT_EQ(err.str(), "consolepack: error: jar not found on PATH; install a JDK\n");
  EXPECT_TRUE(fs::exists(dir.path() / "out" / "HelloEnConsole.java"));
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "Manifest.mf"));
  EXPECT_TRUE(system.commands.empty());
}

TEST_F(FrontEndTest, ErrorsNameTheProgramAndTheReason) {
  EXPECT_EQ(run(kConsolepack, {"src/Hello", "missing"}), 1);
  EXPECT_NE(
      err.str().find("consolepack: error: cannot create missing" + sep() + "HelloEnConsole.java: "),
      std::string::npos);
  EXPECT_NE(err.str().find("consolepack: error: cannot enter the directory missing: "),
            std::string::npos)
      << err.str();
  std::istringstream lines(err.str());
  for (std::string line; std::getline(lines, line);)
    EXPECT_EQ(line.rfind("consolepack: error: ", 0), 0u) << line;
}

TEST_F(FrontEndTest, AFailedWriteToStandardOutputFailsTheRun) {
  out.setstate(std::ios::badbit);
  platform::Io io{system, out, err, "consoleconv"};
  EXPECT_EQ(convert::run(io, kConsoleconv, {"--version"}), 1);
  EXPECT_EQ(err.str(), "consoleconv: error: cannot write to standard output\n");
  err.str("");
  EXPECT_EQ(convert::run(io, kConsoleconv, {"src/Hello", "out"}), 1);
  EXPECT_EQ(err.str(), "consoleconv: error: cannot write to standard output\n");
}

}  // namespace
}  // namespace convert
