// Helpers for tests that work on real files and run the built programs.
#ifndef PLATFORM_TEST_SUPPORT_H
#define PLATFORM_TEST_SUPPORT_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testutil {

namespace fs = std::filesystem;

// A fresh directory, removed with everything in it when destroyed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }
  // The path as a native string, with a trailing name joined by the
  // platform's separator.
  std::string str(const std::string& name = "") const;

 private:
  fs::path path_;
};

// Makes `path` the current directory until destroyed.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const fs::path& path);
  ~ScopedCurrentDirectory();

 private:
  fs::path saved_;
};

// Sets (or, with nullopt, unsets) an environment variable until destroyed.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::optional<std::string>& value);
  ~ScopedEnv();

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

std::string read_file(const fs::path& path);
void write_file(const fs::path& path, const std::string& contents);

// "\n" turned into what a text-mode standard output writes on this platform.
std::string native_lines(std::string text);

// The directory holding the running test executable, where the programs
// are built too.
fs::path executable_directory();

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs a program built beside the tests, in the current directory, with
// standard input from `input` (none when empty).
ProcessResult run_program(const std::string& name, const std::vector<std::string>& args,
                          const std::string& input = "");

// The same for a program at `program`, a copy of a built one for instance.
ProcessResult run_program_at(const fs::path& program, const std::vector<std::string>& args,
                             const std::string& input = "");

// Copies the built program `name` into PREFIX/bin, away from the console
// library of the build; with `library`, the library's six class files
// (empty stand-ins) go where an install puts them. Returns the copy.
fs::path install_program(const std::string& name, const fs::path& prefix, bool library);

// Empty files named as the console library's six class files: enough for
// the converters to take `dir` for the library.
void write_library_stand_in(const fs::path& dir);

// Runs a command line through the platform's interpreter, like
// run_program; on POSIX within 50 seconds (status 124 past them).
ProcessResult run_command_line(std::string command, const std::string& input = "");

// The file name of a program built beside the tests.
std::string program_file(const std::string& name);

// Puts a stand-in for the command-line tool `tool` into `dir`: it appends
// the directory it runs in and its argument text, a line each, to `log`,
// and exits with `status`. A javac that succeeds also writes an empty class
// file for its last argument, Name.java.
void write_recording_tool(const fs::path& dir, const std::string& tool, const fs::path& log,
                          int status = 0);

// A stand-in JDK in `home`: recording javac and jar in home/bin, and a
// `release` file naming `version` when there is one. Returns home/bin.
fs::path write_fake_jdk(const fs::path& home, const std::optional<std::string>& version,
                        const fs::path& log);

// The lines of a file, carriage returns dropped.
std::vector<std::string> read_lines(const fs::path& path);

#ifndef _WIN32
// A built program started in the background (POSIX only), its standard
// input empty and its output kept, under limits of its own.
class Child {
 public:
  struct Options {
    std::optional<unsigned long> address_space;  // bytes, RLIMIT_AS
    std::optional<unsigned long> open_files;     // RLIMIT_NOFILE
    bool close_stdout = false;                   // started with descriptor 1 closed
  };

  Child(const std::string& name, const std::vector<std::string>& args, const Options& options);
  Child(const std::string& name, const std::vector<std::string>& args)
      : Child(name, args, Options()) {}
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  void kill(int signal);
  // Waits for it, at most 50 seconds before killing it; the status is
  // 128 + N after signal N.
  ProcessResult wait();
  // Its peak resident memory, once waited for.
  long max_rss_kilobytes() const { return max_rss_; }

 private:
  int pid_ = -1;
  TempDir capture_;
  long max_rss_ = 0;
};
#endif

// Prepends `dir` to PATH until destroyed.
class ScopedPathPrepend {
 public:
  explicit ScopedPathPrepend(const fs::path& dir);

 private:
  ScopedEnv env_;
};

}  // namespace testutil

#endif  // PLATFORM_TEST_SUPPORT_H
