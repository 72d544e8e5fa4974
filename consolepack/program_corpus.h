// The corpus of programs as published (examples/programs): package lines,
// several files, any way of reading the keyboard. Each folder holds one,
// its main class in NAME.java somewhere below, its inputs beside it:
// NAME.in, NAME.2.in.
#ifndef CONSOLEPACK_PROGRAM_CORPUS_H
#define CONSOLEPACK_PROGRAM_CORPUS_H

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/test_support.h"

namespace corpus {

namespace fs = std::filesystem;

struct Program {
  std::string name;
  fs::path folder;
};

inline std::ostream& operator<<(std::ostream& out, const Program& program) {
  return out << program.name;
}

inline std::vector<Program> programs() {
  std::vector<Program> all;
  for (const auto& entry :
       fs::directory_iterator(fs::path(CONSOLETOOLS_SOURCE_DIR) / "examples" / "programs"))
    if (entry.is_directory()) all.push_back({entry.path().filename().string(), entry.path()});
  std::sort(all.begin(), all.end(),
            [](const Program& a, const Program& b) { return a.name < b.name; });
  return all;
}

// A program copied into `dir`/src, as a user has it.
struct Copy {
  fs::path main_file;    // NAME.java
  std::string relative;  // its path from `dir`, without .java, as SOURCE
  std::string qualified;  // its class with its package
  std::string sources;   // every .java file of it, each after a blank
};

inline Copy copy_into(const Program& program, const fs::path& dir) {
  fs::copy(program.folder, dir / "src", fs::copy_options::recursive);
  Copy copy;
  for (const auto& entry : fs::recursive_directory_iterator(dir / "src")) {
    if (entry.path().extension() != ".java") continue;
    copy.sources += " " + entry.path().string();
    if (entry.path().stem() == program.name) copy.main_file = entry.path();
  }
  if (copy.main_file.empty()) return copy;
  copy.qualified = program.name;
  const std::string text = testutil::read_file(copy.main_file);
  if (text.rfind("package ", 0) == 0)
    copy.qualified = text.substr(8, text.find(';') - 8) + "." + program.name;
  copy.relative = fs::relative(copy.main_file, dir).replace_extension("").generic_string();
  return copy;
}

// The console library's class files into `folder`, as a user puts them
// beside a program.
inline void copy_library(const fs::path& folder) {
  fs::create_directories(folder);
  for (const auto& entry : fs::directory_iterator(CONSOLETOOLS_JAVALIB_DIR))
    fs::copy_file(entry.path(), folder / entry.path().filename());
}

// The original program compiled into `folder`, as it stands.
inline testutil::ProcessResult compile_original(const Copy& copy, const fs::path& folder) {
  fs::create_directories(folder);
  return testutil::run_command_line("javac -d " + folder.string() + copy.sources);
}

// The inputs of a program that exist, by suffix: ".in", ".2.in".
inline std::vector<std::string> input_suffixes(const Program& program) {
  std::vector<std::string> found;
  for (const char* suffix : {".in", ".2.in"})
    if (fs::exists(program.folder / (program.name + suffix))) found.push_back(suffix);
  return found;
}

// NAME's jar as consolepack names it.
inline std::string jar_name(const std::string& name) {
  return std::string(1, static_cast<char>(name[0] - 'A' + 'a')) + name.substr(1) + "EnConsole.jar";
}

}  // namespace corpus

#endif  // CONSOLEPACK_PROGRAM_CORPUS_H
