#include "platform/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/command_line.h"
#include "platform/system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>
#endif
#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace testutil {

namespace {

std::optional<std::string> get_env(const std::string& name) {
  if (const char* value = std::getenv(name.c_str())) return std::string(value);
  return std::nullopt;
}

void set_env(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
  if (value)
    setenv(name.c_str(), value->c_str(), 1);
  else
    unsetenv(name.c_str());
#endif
}

#ifndef _WIN32
// Found at start-up, before any test changes PATH.
const std::optional<std::string> kTimeout = platform::real_system().find_program("timeout", ".");
#endif

std::string quoted(const std::string& word) {
  auto q = platform::quote_argument(word);
  if (!q) throw std::runtime_error("test cannot quote " + word);
  return *q;
}

}  // namespace

TempDir::TempDir() {
  std::random_device random;
  for (;;) {
    path_ = fs::temp_directory_path() / ("consoletools-" + std::to_string(random()));
    if (fs::create_directory(path_)) break;
  }
  // Canonical, so that it compares equal to what the programs read back.
  path_ = fs::canonical(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempDir::str(const std::string& name) const {
  std::string s = path_.string();
  if (!name.empty()) s += platform::path_separator() + name;
  return s;
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const fs::path& path)
    : saved_(fs::current_path()) {
  fs::current_path(path);
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  std::error_code ignored;
  fs::current_path(saved_, ignored);
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)), saved_(get_env(name_)) {
  set_env(name_, value);
}

ScopedEnv::~ScopedEnv() { set_env(name_, saved_); }

ScopedPathPrepend::ScopedPathPrepend(const fs::path& dir)
    : env_("PATH", dir.string() +
#ifdef _WIN32
                       ";"
#else
                       ":"
#endif
                       + get_env("PATH").value_or("")) {
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

void write_file(const fs::path& path, const std::string& contents) {
  std::ofstream out(path, std::ios::binary);
  out << contents;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string native_lines(std::string text) {
#ifdef _WIN32
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
#else
  return text;
#endif
}

fs::path executable_directory() {
#ifdef _WIN32
  char buffer[MAX_PATH * 4];
  DWORD size = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return fs::path(std::string(buffer, size)).parent_path();
#elif defined(__APPLE__)
  char buffer[4096];
  uint32_t size = sizeof buffer;
  _NSGetExecutablePath(buffer, &size);
  return fs::canonical(buffer).parent_path();
#else
  return fs::canonical("/proc/self/exe").parent_path();
#endif
}

ProcessResult run_program(const std::string& name, const std::vector<std::string>& args,
                          const std::string& input) {
  return run_program_at(executable_directory() / program_file(name), args, input);
}

ProcessResult run_program_at(const fs::path& program, const std::vector<std::string>& args,
                             const std::string& input) {
  std::string command = quoted(program.string());
  for (const std::string& arg : args) command += " " + quoted(arg);
  return run_command_line(command, input);
}

fs::path install_program(const std::string& name, const fs::path& prefix, bool library) {
  fs::create_directories(prefix / "bin");
  const fs::path copy = prefix / "bin" / program_file(name);
  fs::copy_file(executable_directory() / program_file(name), copy,
                fs::copy_options::overwrite_existing);
  if (library) {
#ifdef _WIN32
    const fs::path installed = prefix / "bin" / "console";
#else
    const fs::path installed = prefix / "share" / "consoletools" / "console";
#endif
    fs::create_directories(installed);
    write_library_stand_in(installed);
  }
  return copy;
}

void write_library_stand_in(const fs::path& dir) {
  for (const char* name : {"CanvasConsole", "Console", "ConsolePrinter", "ConsoleReader",
                           "FrameConsole", "CurseurCanvasConsole"})
    write_file(dir / (std::string(name) + ".class"), "");
}

ProcessResult run_command_line(std::string command, const std::string& input) {
  TempDir capture;
  if (!input.empty()) {
    write_file(capture.path() / "in", input);
    command += " < " + quoted(capture.str("in"));
  }
  command += " > " + quoted(capture.str("out")) + " 2> " + quoted(capture.str("err"));
  ProcessResult result;
#ifndef _WIN32
  // Its own limit, below the test's, so a hang ends with a message.
  if (kTimeout)
    command = testutil::quoted(*kTimeout) + " -k 5 50 /bin/sh -c " + testutil::quoted(command);
#endif
#ifdef _WIN32
  // cmd.exe drops the first and last quote of a line that starts with one.
  result.status = std::system(("\"" + command + "\"").c_str());
#else
  int status = std::system(command.c_str());
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  result.out = read_file(capture.path() / "out");
  result.err = read_file(capture.path() / "err");
  return result;
}

#ifndef _WIN32
Child::Child(const std::string& name, const std::vector<std::string>& args,
             const Options& options) {
  const std::string program = (executable_directory() / program_file(name)).string();
  const std::string out = capture_.str("out"), err = capture_.str("err");
  std::vector<std::string> words = {program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ != 0) return;
  // The child: only calls safe after fork until exec.
  int in = open("/dev/null", O_RDONLY);
  dup2(in, 0);
  int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(o, 1);
  int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(e, 2);
  for (int fd : {in, o, e})
    if (fd > 2) close(fd);
  if (options.close_stdout) close(1);
  if (options.address_space) {
    rlimit limit{*options.address_space, *options.address_space};
    setrlimit(RLIMIT_AS, &limit);
  }
  if (options.open_files) {
    rlimit limit{*options.open_files, *options.open_files};
    setrlimit(RLIMIT_NOFILE, &limit);
  }
  execv(program.c_str(), argv.data());
  _exit(127);
}

Child::~Child() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void Child::kill(int signal) {
  if (pid_ > 0) ::kill(pid_, signal);
}

ProcessResult Child::wait() {
  ProcessResult result;
  if (pid_ <= 0) return result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(50);
  int status = 0;
  rusage usage{};
  for (;;) {
    pid_t done = wait4(pid_, &status, WNOHANG, &usage);
    if (done == pid_) break;
    if (done < 0 && errno != EINTR) return result;
    if (std::chrono::steady_clock::now() > deadline) ::kill(pid_, SIGKILL);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  pid_ = -1;
  max_rss_ = usage.ru_maxrss;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = read_file(capture_.path() / "out");
  result.err = read_file(capture_.path() / "err");
  return result;
}
#endif

std::string program_file(const std::string& name) {
#ifdef _WIN32
  return name + ".exe";
#else
  return name;
#endif
}

void write_recording_tool(const fs::path& dir, const std::string& tool, const fs::path& log,
                          int status) {
#ifdef _WIN32
  // Redirection first: a directory ending in a digit would read as a handle.
  // A javac that succeeds writes the class of its last argument, as the
  // real one would.
  const std::string class_file =
      tool == "javac" && status == 0
          ? "@for %%a in (%*) do @set \"last=%%~a\"\r\n"
            "@if /i \"%last:~-5%\"==\".java\" type nul > \"%last:~0,-5%.class\"\r\n"
          : "";
  write_file(dir / (tool + ".cmd"), "@>>\"" + log.string() +
                                        "\" echo %CD%\r\n"
                                        "@>>\"" +
                                        log.string() + "\" echo %*\r\n" + class_file + "@exit /b " +
                                        std::to_string(status) + "\r\n");
#else
  fs::path script = dir / tool;
  const std::string class_file =
      tool == "javac" && status == 0
          ? "for last; do :; done\ncase \"$last\" in *.java) : > \"${last%.java}.class\";; esac\n"
          : "";
  write_file(script, "#!/bin/sh\npwd >> '" + log.string() + "'\nprintf '%s\\n' \"$*\" >> '" +
                         log.string() + "'\n" + class_file + "exit " + std::to_string(status) +
                         "\n");
  fs::permissions(script, fs::perms::owner_all, fs::perm_options::add);
#endif
}

fs::path write_fake_jdk(const fs::path& home, const std::optional<std::string>& version,
                        const fs::path& log) {
  fs::create_directories(home / "bin");
  write_recording_tool(home / "bin", "javac", log);
  write_recording_tool(home / "bin", "jar", log);
  if (version) write_file(home / "release", "JAVA_VERSION=\"" + *version + "\"\n");
  return home / "bin";
}

std::vector<std::string> read_lines(const fs::path& path) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : read_file(path)) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace testutil
