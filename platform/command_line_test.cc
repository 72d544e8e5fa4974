#include "platform/command_line.h"

#include <gtest/gtest.h>

#include "platform/system.h"
#include "platform/test_support.h"

namespace platform {
namespace {

TEST(QuoteForPosixShell, PlainWordsStayAndOthersAreSingleQuoted) {
  EXPECT_EQ(quote_for_posix_shell("/tmp/a/_vti_cnf"), "/tmp/a/_vti_cnf");
  EXPECT_EQ(quote_for_posix_shell("HelloEnConsole.java"), "HelloEnConsole.java");
  EXPECT_EQ(quote_for_posix_shell("a b"), "'a b'");
  EXPECT_EQ(quote_for_posix_shell("it's"), "'it'\\''s'");
  EXPECT_EQ(quote_for_posix_shell(""), "''");
  EXPECT_EQ(quote_for_posix_shell("~x"), "'~x'");
  EXPECT_FALSE(quote_for_posix_shell(std::string("a\0b", 3)));
}

TEST(QuoteForCmd, PlainWordsStayOthersAreQuotedAndExpandableOnesRefused) {
  EXPECT_EQ(quote_for_cmd("C:\\a\\_vti_cnf"), "C:\\a\\_vti_cnf");
  EXPECT_EQ(quote_for_cmd("C:\\a b\\x&y^(z)"), "\"C:\\a b\\x&y^(z)\"");
  EXPECT_EQ(quote_for_cmd("a,b;c=d"), "\"a,b;c=d\"");
  EXPECT_EQ(quote_for_cmd(""), "\"\"");
  for (const char* bad : {"100%", "%PATH%", "wow!", "say \"hi\"", "a\nb", "C:\\a b\\"})
    EXPECT_FALSE(quote_for_cmd(bad)) << bad;
}

#ifndef _WIN32
// Whatever the word holds, the shell hands it to the program unchanged.
TEST(QuoteForPosixShell, EveryWordReachesTheProgramUnchanged) {
  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd(dir.path());
  const std::string words[] = {"a b",  "a  b", "&;|<>()", "$HOME", "`id`", "'\"'",
                               "a\nb", "\\",   "*",       "-n",    "!x",   "\t#x",
                               "\xe9t\xe9"};
  for (const std::string& word : words) {
    std::string command = "printf '%s' " + *quote_for_posix_shell(word) + " > got";
    ASSERT_EQ(real_system().run_command(command), 0) << word;
    EXPECT_EQ(testutil::read_file(dir.path() / "got"), word);
  }
}
#endif

}  // namespace
}  // namespace platform
