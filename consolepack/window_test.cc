// The corpus of programs as published, converted and packaged, each run in
// its own window on a real display (tools/with-display), with standard
// input from /dev/null and its input typed with xdotool: whatever way the
// program reads the keyboard, it reads what is typed, and prints what the
// original prints.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "consolepack/program_corpus.h"
#include "platform/command_line.h"
#include "platform/test_support.h"

namespace {

namespace fs = std::filesystem;
using testutil::read_file;

std::string quoted(const std::string& word) { return *platform::quote_for_posix_shell(word); }

// xdotool, within its time limit; its output.
std::string xdotool(const std::string& args) {
  auto run = testutil::run_command_line("xdotool " + args);
  EXPECT_EQ(run.status, 0) << "xdotool " << args << ": " << run.err;
  return run.out;
}

// The window titled exactly `title`, waited for.
std::string window(const std::string& title) {
  std::string pattern;
  for (char c : title) {
    if (c == '(' || c == ')') pattern += '\\';
    pattern += c;
  }
  const std::string found =
      xdotool("search --sync --onlyvisible --name " + quoted("^" + pattern + "$"));
  return found.substr(0, found.find('\n'));
}

class WindowPrograms : public ::testing::TestWithParam<corpus::Program> {};

TEST_P(WindowPrograms, ReadWhatIsTypedInTheirWindow) {
  const corpus::Program& program = GetParam();
  const std::string& name = program.name;
  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd(dir.path());
  const corpus::Copy copy = corpus::copy_into(program, dir.path());
  ASSERT_FALSE(copy.main_file.empty());
  corpus::copy_library(dir.path() / "pack");
  ASSERT_EQ(corpus::compile_original(copy, dir.path() / "original").status, 0);
  auto pack = testutil::run_program("consolepack", {"--lenient", copy.relative, "pack"});
  ASSERT_EQ(pack.status, 0) << pack.err;

  const std::string input = read_file(program.folder / (name + ".in"));
  std::string expected;
  {
    testutil::ScopedEnv headless("DISPLAY", std::nullopt);
    expected = testutil::run_command_line("java -cp " + dir.str("original") + " " + copy.qualified,
                                          input)
                   .out;
  }
  ASSERT_FALSE(expected.empty());

  // In the background, its status into a file once it ends.
  const std::string jar = (dir.path() / "pack" / corpus::jar_name(name)).string();
  const fs::path out = dir.path() / "out", status = dir.path() / "status";
  ASSERT_EQ(std::system(("(timeout 120 java -jar " + quoted(jar) + " < /dev/null > " +
                         quoted(out.string()) + " 2> " + quoted(dir.str("err")) + "; echo $? > " +
                         quoted(status.string()) + ") &")
                            .c_str()),
            0);
  const std::string id = window(name);
  xdotool("windowactivate --sync " + id);
  size_t start = 0;
  for (size_t end; (end = input.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = input.substr(start, end - start);
    if (!line.empty()) xdotool("type --delay 15 -- " + quoted(line));
    xdotool("key Return");
  }
  xdotool("key ctrl+d");  // the end of the input, for whoever reads to it
  const std::string done = window(name + " (finished)");
  EXPECT_EQ(read_file(out), expected);
  xdotool("windowactivate --sync " + done);
  xdotool("key --clearmodifiers alt+F4");
  for (int i = 0; i < 300 && !(fs::exists(status) && !read_file(status).empty()); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(read_file(status), "0\n") << read_file(dir.path() / "err");
}

INSTANTIATE_TEST_SUITE_P(Examples, WindowPrograms, ::testing::ValuesIn(corpus::programs()),
                         [](const ::testing::TestParamInfo<corpus::Program>& param) {
                           return param.param.name;
                         });

}  // namespace
