// The shipped examples, converted and packaged with the real JDK: each
// converted program, run from its jar and from consoleconv's class file,
// prints exactly what the original prints on the same input.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#ifndef _WIN32
#include <sys/statvfs.h>
#endif

#include "consolepack/program_corpus.h"
#include "platform/test_support.h"

namespace {

namespace fs = std::filesystem;
using testutil::read_file;

const fs::path kSources = CONSOLETOOLS_SOURCE_DIR;
const fs::path kLibrary = CONSOLETOOLS_JAVALIB_DIR;

struct Example {
  std::string name;
  fs::path directory;
  bool lenient;
  std::vector<std::string> inputs;
};

std::ostream& operator<<(std::ostream& out, const Example& example) { return out << example.name; }

std::vector<Example> examples() {
  std::vector<Example> all = {
      {"Greeter", kSources / "examples", false, {"Ada Lovelace\n", ""}},
      {"Calculator", kSources / "examples", false, {"1\n2.5\nabc\n-4\n\nnot read\n", "7\n"}},
      {"Quiz", kSources / "examples", false, {"42\n", "12\n"}}};
  // The other layouts, each with its input beside it.
  std::vector<fs::path> layouts;
  for (const auto& entry : fs::directory_iterator(kSources / "examples" / "layouts"))
    if (entry.path().extension() == ".java") layouts.push_back(entry.path());
  std::sort(layouts.begin(), layouts.end());
  for (const fs::path& source : layouts) {
    fs::path input = source;
    input.replace_extension(".in");
    all.push_back({source.stem().string(), source.parent_path(), true, {read_file(input)}});
  }
  return all;
}

class RealJdk : public ::testing::TestWithParam<Example> {};

// Runs `command` in its own directory below `dir`, as programs that write
// files would clash otherwise.
testutil::ProcessResult run_in(const fs::path& dir, const std::string& command,
                               const std::string& input) {
  fs::create_directories(dir);
  testutil::ScopedCurrentDirectory cwd(dir);
  return testutil::run_command_line(command, input.empty() ? "\n" : input);
}

TEST_P(RealJdk, ConvertedProgramsPrintWhatTheOriginalPrints) {
  // Headless, so the converted programs use standard input and output even
  // where a display is at hand.
  testutil::ScopedEnv headless("DISPLAY", std::nullopt);
  const Example& example = GetParam();
  const std::string& name = example.name;
  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd(dir.path());
  for (const char* sub : {"src", "pack", "conv"}) fs::create_directories(dir.path() / sub);
  fs::copy_file(example.directory / (name + ".java"), dir.path() / "src" / (name + ".java"));
  for (const auto& entry : fs::directory_iterator(kLibrary))
    fs::copy_file(entry.path(), dir.path() / "pack" / entry.path().filename());

  std::vector<std::string> mode;
  if (example.lenient) mode.push_back("--lenient");
  std::vector<std::string> pack_args = mode, conv_args = mode;
  pack_args.insert(pack_args.end(), {"src/" + name, "pack"});
  conv_args.insert(conv_args.end(), {"--lib", kLibrary.string(), "src/" + name, "conv"});
  auto pack = testutil::run_program("consolepack", pack_args);
  ASSERT_EQ(pack.status, 0) << pack.out << pack.err;
  auto conv = testutil::run_program("consoleconv", conv_args);
  ASSERT_EQ(conv.status, 0) << conv.out << conv.err;
  EXPECT_FALSE(fs::exists(dir.path() / "pack" / "Manifest.mf"));

  // Class files for Java 8 (version 52) or older, as the JDK was asked;
  // for the release a note names where the program needs a newer one.
  const std::string bytes = read_file(dir.path() / "pack" / (name + "EnConsole.class"));
  ASSERT_GT(bytes.size(), 8u);
  const int version =
      (static_cast<unsigned char>(bytes[6]) << 8) | static_cast<unsigned char>(bytes[7]);
  const std::string chosen = "; compiling with --release ";
  if (size_t at = pack.err.find(chosen); at != std::string::npos)
    EXPECT_EQ(version, 44 + std::stoi(pack.err.substr(at + chosen.size())));
  else
    EXPECT_LE(version, 52);

  const std::string jar =
      (dir.path() / "pack" /
       (std::string(1, static_cast<char>(name[0] - 'A' + 'a')) + name.substr(1) + "EnConsole.jar"))
          .string();
  if (!example.lenient) {
    auto listing = testutil::run_command_line("jar tf " + jar);
    for (const std::string& cls :
         {name + "EnConsole", std::string("Console"), std::string("CanvasConsole"),
          std::string("ConsolePrinter"), std::string("ConsoleReader"), std::string("FrameConsole"),
          std::string("CurseurCanvasConsole")})
      EXPECT_NE(listing.out.find("\n" + cls + ".class\n"), std::string::npos) << cls;
  }

  for (size_t i = 0; i < example.inputs.size(); ++i) {
    const std::string& input = example.inputs[i];
    const fs::path runs = dir.path() / ("run" + std::to_string(i));
    auto original =
        run_in(runs / "original", "java " + dir.str("src") + "/" + name + ".java", input);
    auto packaged = run_in(runs / "jar", "java -jar " + jar, input);
    auto converted = run_in(
        runs / "conv", "java -cp " + dir.str("conv") + ":" + kLibrary.string() + " " + name, input);
    ASSERT_EQ(original.status, 0) << original.err;
    EXPECT_FALSE(original.out.empty());
    EXPECT_EQ(packaged.status, 0) << packaged.err;
    EXPECT_EQ(packaged.out, original.out) << "input " << i;
    EXPECT_EQ(converted.status, 0) << converted.err;
    EXPECT_EQ(converted.out, original.out) << "input " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, RealJdk, ::testing::ValuesIn(examples()),
                         [](const ::testing::TestParamInfo<Example>& param) {
                           return param.param.name;
                         });

// The frames of a stack trace in the program's own files, as the class
// and method and the line they name, in order: what the author looks up.
// A launcher's call of the program's main, the last frame of a converted
// program's trace, is not the author's: `launcher` names its class.
std::vector<std::string> traced_frames(const std::string& trace, const std::string& launcher) {
  std::vector<std::string> frames;
  static const std::regex frame(R"(\tat (?:[\w.]+/)?([^(]*)\((\w+)\.java:(\d+)\))");
  for (auto it = std::sregex_iterator(trace.begin(), trace.end(), frame);
       it != std::sregex_iterator(); ++it)
    if ((*it)[1].str() != launcher + ".main")
      frames.push_back((*it)[1].str() + ":" + (*it)[3].str());
  return frames;
}

class RealJdkPrograms : public ::testing::TestWithParam<corpus::Program> {};

// Converted as published, a program behaves as its original, headless.
TEST_P(RealJdkPrograms, ConvertedAsPublishedTheyBehaveAsTheOriginal) {
  testutil::ScopedEnv headless("DISPLAY", std::nullopt);
  const corpus::Program& program = GetParam();
  const std::string& name = program.name;
  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd(dir.path());
  const corpus::Copy copy = corpus::copy_into(program, dir.path());
  ASSERT_FALSE(copy.main_file.empty());
  fs::create_directories(dir.path() / "conv");
  corpus::copy_library(dir.path() / "pack");
  auto original_build = corpus::compile_original(copy, dir.path() / "original");
  ASSERT_EQ(original_build.status, 0) << original_build.err;
  auto pack = testutil::run_program("consolepack", {"--lenient", copy.relative, "pack"});
  ASSERT_EQ(pack.status, 0) << pack.out << pack.err;
  auto conv = testutil::run_program(
      "consoleconv", {"--lenient", "--lib", kLibrary.string(), copy.relative, "conv"});
  ASSERT_EQ(conv.status, 0) << conv.out << conv.err;
  // The user's files are as they were, and nothing is left in the way.
  for (const auto& entry : fs::recursive_directory_iterator(dir.path() / "src")) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(read_file(entry.path()),
              read_file(program.folder / fs::relative(entry.path(), dir.path() / "src")))
        << entry.path();
  }
  for (const auto& entry : fs::directory_iterator(dir.path() / "pack"))
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();

  const std::string jar = (dir.path() / "pack" / corpus::jar_name(name)).string();
  const auto suffixes = corpus::input_suffixes(program);
  EXPECT_FALSE(suffixes.empty());
  for (const std::string& suffix : suffixes) {
    const std::string input = read_file(program.folder / (name + suffix));
    const fs::path runs = dir.path() / ("run" + suffix);
    auto original = run_in(runs / "original",
                           "java -cp " + dir.str("original") + " " + copy.qualified, input);
    auto packaged_run = run_in(runs / "jar", "java -jar " + jar, input);
    auto converted = run_in(
        runs / "conv", "java -cp " + dir.str("conv") + ":" + kLibrary.string() + " " + name, input);
    EXPECT_FALSE(original.out.empty());
    // In a package, both run the program as written through a launcher.
    const bool packaged = copy.qualified != name;
    for (const auto& [run, launcher] : {std::pair(&packaged_run, name + "EnConsole"),
                                        std::pair(&converted, packaged ? name : "")}) {
      EXPECT_EQ(run->status, original.status) << suffix << run->err;
      EXPECT_EQ(run->out, original.out) << suffix;
      // A failure names the classes and lines the author sees.
      EXPECT_EQ(traced_frames(run->err, launcher), traced_frames(original.err, "")) << run->err;
    }
  }
}

// Programs as they lie on disk: saved by other editors than a UTF-8 one,
// reading through System.console(). Each converted and packaged with
// --lenient, and run headless.
class RealJdkOnDisk : public ::testing::Test {
 protected:
  RealJdkOnDisk() : cwd(dir.path()), headless("DISPLAY", std::nullopt) {
    fs::create_directories(dir.path() / "src");
    fs::create_directories(dir.path() / "conv");
    corpus::copy_library(dir.path() / "pack");
  }

  // The jar's and the class's answers to `input`, each after both
  // converters succeeded; the source is left as it was.
  std::vector<testutil::ProcessResult> convert_and_run(const std::string& name,
                                                       const std::string& input) {
    const fs::path source = dir.path() / "src" / (name + ".java");
    const std::string before = read_file(source);
    auto pack = testutil::run_program("consolepack", {"--lenient", "src/" + name, "pack"});
    EXPECT_EQ(pack.status, 0) << pack.out << pack.err;
    auto conv = testutil::run_program(
        "consoleconv", {"--lenient", "--lib", kLibrary.string(), "src/" + name, "conv"});
    EXPECT_EQ(conv.status, 0) << conv.out << conv.err;
    EXPECT_EQ(read_file(source), before);
    notes = pack.err;
    const std::string jar = (dir.path() / "pack" / corpus::jar_name(name)).string();
    return {run_in(dir.path() / "run-jar", "java -jar " + jar, input),
            run_in(dir.path() / "run-conv",
                   "java -cp " + dir.str("conv") + ":" + kLibrary.string() + " " + name, input)};
  }

  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd;
  testutil::ScopedEnv headless;
  std::string notes;
};

// UTF-8 to code points, for the encodings a test saves a source in.
std::u32string code_points(const std::string& utf8) {
  std::u32string points;
  for (size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    char32_t point = length == 1 ? byte : byte & (0x7F >> length);
    for (int k = 1; k < length; ++k) point = (point << 6) | (utf8[i + k] & 0x3F);
    points += point;
    i += static_cast<size_t>(length);
  }
  return points;
}

std::string saved_as(const std::string& utf8, const std::string& encoding) {
  if (encoding == "UTF-8 BOM") return "\xEF\xBB\xBF" + utf8;
  std::string bytes;
  for (const char32_t point : code_points(utf8)) {
    if (encoding == "windows-1252") {
      bytes += point == U'\u20AC' ? '\x80' : point == U'\u2019' ? '\x92' : static_cast<char>(point);
      continue;
    }
    const char high = static_cast<char>(point >> 8), low = static_cast<char>(point & 0xFF);
    bytes += encoding == "UTF-16LE" ? std::string{low, high} : std::string{high, low};
  }
  if (encoding == "UTF-16LE") return "\xFF\xFE" + bytes;
  if (encoding == "UTF-16BE") return "\xFE\xFF" + bytes;
  return bytes;
}

// Saved by Notepad, by an old Windows editor, with CR LF or LF: each
// prints its accents as the UTF-8 original does.
TEST_F(RealJdkOnDisk, EverySourceEncodingPrintsAsTheOriginal) {
  const std::string program =
      "import java.io.*;\n\n"
      "// \u00C9l\u00E8ves : l\u2019accueil\n"
      "public class Accents {\n"
      "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\n\n"
      "  public static void main(String[] args) throws IOException {\n"
      "    System.out.print(\"Pr\u00E9nom de l\u2019\u00E9l\u00E8ve ? \");\n"
      "    String pr\u00E9nom = flux.readLine();\n"
      "    System.out.println(\"Bonjour \" + pr\u00E9nom + \", \u00E0 20 \u20AC le caf\u00E9 "
      "!\");\n"
      "    System.out.println(\"\u00E7a fait \" + \"\u00E9l\u00E8ve\".length() + \" lettres\");\n"
      "  }\n}\n";
  testutil::write_file(dir.path() / "src" / "Accents.java", program);
  auto compiled = testutil::run_command_line("javac -encoding UTF-8 -d original src/Accents.java");
  ASSERT_EQ(compiled.status, 0) << compiled.err;
  const std::string input = "Zo\u00E9\n";
  auto original =
      run_in(dir.path() / "run-original", "java -cp " + dir.str("original") + " Accents", input);
  ASSERT_EQ(original.status, 0) << original.err;
  ASSERT_NE(original.out.find("\u00E0 20 \u20AC le caf\u00E9"), std::string::npos);

  std::string crlf;
  for (const char c : program) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const std::pair<std::string, std::string> saved[] = {
      {"windows-1252", program}, {"windows-1252", crlf}, {"UTF-8 BOM", program},
      {"UTF-16LE", crlf},        {"UTF-16BE", program},
  };
  for (const auto& [encoding, text] : saved) {
    testutil::write_file(dir.path() / "src" / "Accents.java", saved_as(text, encoding));
    for (const auto& run : convert_and_run("Accents", input)) {
      EXPECT_EQ(run.status, 0) << encoding << run.err;
      EXPECT_EQ(run.out, original.out) << encoding;
    }
    EXPECT_NE(notes.find("Accents.java:1: note: this file is saved in "), std::string::npos)
        << notes;
  }
}

// System.console() is null where no terminal is, so a program reading
// through it fails double-clicked; converted, it reads the console, and
// javac takes its java.io.Console however it was imported.
TEST_F(RealJdkOnDisk, SystemConsoleReadsTheConsole) {
  testutil::write_file(dir.path() / "src" / "Identite.java",
                       "import java.io.*;\n\npublic class Identite {\n"
                       "  public static void main(String[] args) throws IOException {\n"
                       "    Console c = System.console();\n"
                       "    if (c == null) { System.out.println(\"pas de console\"); return; }\n"
                       "    String nom = c.readLine(\"Nom : \");\n"
                       "    char[] mdp = c.readPassword(\"Mot de passe pour %s : \", nom);\n"
                       "    c.printf(\"Bonjour %s (%d caracteres)%n\", nom, mdp.length);\n"
                       "    c.format(\"%s%n\", \"format\").flush();\n"
                       "    c.writer().println(\"writer\");\n"
                       "    char[] lu = new char[64];\n"
                       "    int n = c.reader().read(lu);\n"
                       "    System.out.println(\"reader : \" + new String(lu, 0, n).trim());\n"
                       "    System.out.print(\"Code ? \");\n"
                       "    char[] code = c.readPassword();\n"
                       "    System.out.println(new String(code).length() + \" chiffres\");\n"
                       "    System.out.println(c.readLine() == null ? \"fin\" : \"encore\");\n"
                       "  }\n}\n");
  for (const auto& run : convert_and_run("Identite", "Ada\nsecret\nligne\n1234\n")) {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Nom : Mot de passe pour Ada : Bonjour Ada (6 caracteres)\nformat\nwriter\n"
              "reader : ligne\nCode ? 4 chiffres\nfin\n");
  }
  testutil::write_file(dir.path() / "src" / "Age.java",
                       "import java.io.Console;\nimport java.util.*;\n\nclass Age {\n"
                       "  public static void main(String[] args) {\n"
                       "    java.io.Console c = System.console();\n"
                       "    System.out.print(\"Age ? \");\n"
                       "    int age = Integer.parseInt(System.console().readLine());\n"
                       "    c.printf(\"%d ans, %b%n\", age + 1, c == System.console());\n"
                       "  }\n}\n");
  for (const auto& run : convert_and_run("Age", "41\n")) {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Age ? 42 ans, true\n");
  }
}

// A jar that cannot be made whole leaves the one an earlier run made as it
// was, byte for byte: after a compile error, a class named like one of the
// library's, and a full disk.
class RealJdkFailures : public ::testing::Test {
 protected:
  RealJdkFailures() : cwd(dir.path()) {
    fs::create_directories(dir.path() / "src");
    write("Jeu",
          "class Jeu {\n  public static void main(String[] a) {\n"
          "    System.out.println(\"jeu\");\n  }\n}\n");
  }

  void write(const std::string& name, const std::string& text) {
    testutil::write_file(dir.path() / "src" / (name + ".java"), text);
  }

  // A jar made by a run that went well, in `out` with the library.
  std::string earlier_jar(const fs::path& out) {
    fs::create_directories(out);
    for (const auto& entry : fs::directory_iterator(kLibrary))
      fs::copy_file(entry.path(), out / entry.path().filename(),
                    fs::copy_options::overwrite_existing);
    auto run = testutil::run_program("consolepack", {"--lenient", "src/Jeu", out.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    return read_file(out / "jeuEnConsole.jar");
  }

  // What is in `out` but the library, the converted source, its classes and
  // the filler: nothing of a jar half made.
  static std::vector<std::string> left_in(const fs::path& out) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(out)) {
      const std::string name = entry.path().filename().string();
      const bool library = fs::exists(kLibrary / name);
      if (!library && name != "JeuEnConsole.java" && name != "JeuEnConsole.class" &&
          name != "Jeu.class" && name != "filler")
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd;
};

TEST_F(RealJdkFailures, NoJarFromAFailedCompileOrAClashingName) {
  const fs::path out = dir.path() / "out";
  const std::string jar = earlier_jar(out);
  ASSERT_FALSE(jar.empty());
  const std::pair<std::string, std::string> failures[] = {
      {"class Jeu {\n  public static void main(String[] a) {\n    int x = \"pas un nombre\";\n"
       "  }\n}\n",
       "consolepack: error: no jar was made: javac failed"},
      {"class Jeu {\n  static class ConsolePrinter { }\n  public static void main(String[] a) "
       "{\n  }\n}\n",
       "src/Jeu.java:2: the class ConsolePrinter has the name of a class of the console library"},
  };
  for (const auto& [source, error] : failures) {
    write("Jeu", source);
    auto run = testutil::run_program("consolepack", {"--lenient", "src/Jeu", "out"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(error), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("added manifest"), std::string::npos) << "a jar command ran";
    EXPECT_EQ(read_file(out / "jeuEnConsole.jar"), jar) << error;
    EXPECT_EQ(left_in(out), std::vector<std::string>{"jeuEnConsole.jar"});
  }
  // The library's own class files are as they were, never the program's.
  for (const auto& entry : fs::directory_iterator(kLibrary))
    EXPECT_EQ(read_file(out / entry.path().filename()), read_file(entry.path()));
}

#ifndef _WIN32
TEST_F(RealJdkFailures, AFullDiskLeavesTheEarlierJar) {
  const fs::path out = dir.path() / "out";
  fs::create_directories(out);
  if (testutil::run_command_line("mount -t tmpfs -o size=2m tmpfs " + out.string()).status != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here (not root, or no right to mount)";
  struct Unmount {
    fs::path at;
    ~Unmount() { testutil::run_command_line("umount -l " + at.string()); }
  } unmount{out};
  const std::string jar = earlier_jar(out);
  ASSERT_FALSE(jar.empty());
  fs::remove(out / "JeuEnConsole.class");
  // Room for the compile, not for a second jar beside the first.
  struct statvfs disk {};
  ASSERT_EQ(statvfs(out.c_str(), &disk), 0);
  const uint64_t free = static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize;
  const uint64_t wanted = 48 * 1024;
  ASSERT_GT(free, wanted + jar.size());
  testutil::write_file(out / "filler", std::string(free - wanted, 'x'));
  auto run = testutil::run_program("consolepack", {"--lenient", "src/Jeu", "out"});
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.err.find("the jar was not made; out/jeuEnConsole.jar is as it was"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(read_file(out / "jeuEnConsole.jar"), jar);
  EXPECT_EQ(left_in(out), std::vector<std::string>{"jeuEnConsole.jar"});
}
#endif

INSTANTIATE_TEST_SUITE_P(Examples, RealJdkPrograms, ::testing::ValuesIn(corpus::programs()),
                         [](const ::testing::TestParamInfo<corpus::Program>& param) {
                           return param.param.name;
                         });

}  // namespace
