#include "convert/convert_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/test_support.h"
#include "platform/test_system.h"

namespace convert {
namespace {

namespace fs = std::filesystem;
using testutil::read_file;
using testutil::write_file;

const std::string kHeaders =
    "Fichier java source      : SRC\n"
    "Fichier java destination : DST\n"
    "Classe source            : Hello\n"
    "Classe destination       : HelloEnConsole\n";

std::string headers(const std::string& source, const std::string& destination) {
  std::string h = kHeaders;
  h.replace(h.find("SRC"), 3, source);
  h.replace(h.find("DST"), 3, destination);
  return h;
}

class ConvertSourceTest : public ::testing::Test {
 protected:
  bool convert(const std::string& source, const std::string& destination) {
    return convert_source(io, source, destination, "Hello", "HelloEnConsole").ok;
  }

  testutil::TempDir dir;
  platform::TestSystem system;
  std::ostringstream out, err;
  platform::Io io{system, out, err, "test"};
};

TEST_F(ConvertSourceTest, WritesTheRewrittenSourceAfterHeadersAndTraces) {
  write_file(dir.path() / "Hello.java", "class Hello { System.out }\r\n");
  std::string source = dir.str("Hello.java"), destination = dir.str("HelloEnConsole.java");
  EXPECT_TRUE(convert(source, destination));
  EXPECT_EQ(out.str(), headers(source, destination) + "28 6 5 14\n37 23 10 11\n");
  EXPECT_EQ(read_file(dir.path() / "HelloEnConsole.java"),
            "class HelloEnConsole { Console.out }\r\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(ConvertSourceTest, MissingSourceLeavesAnExistingDestinationAlone) {
  write_file(dir.path() / "HelloEnConsole.java", "keep me");
  std::string source = dir.str("Hello.java"), destination = dir.str("HelloEnConsole.java");
  EXPECT_FALSE(convert(source, destination));
  EXPECT_EQ(out.str(), headers(source, destination) + "Probleme!!!\n");
  EXPECT_NE(err.str().find(source), std::string::npos);
  EXPECT_EQ(read_file(dir.path() / "HelloEnConsole.java"), "keep me");
}

TEST_F(ConvertSourceTest, NeverOverwritesTheSourceItself) {
  write_file(dir.path() / "Hello.java", "class Hello {}\r\n");
  std::string source = dir.str("Hello.java");
  std::string alias = dir.str(".") + (source.find('\\') != std::string::npos ? "\\" : "/") +
                      "Hello.java";
  EXPECT_FALSE(convert(source, alias));
  EXPECT_EQ(out.str(), headers(source, alias) + "Probleme!!!\n");
  EXPECT_EQ(read_file(dir.path() / "Hello.java"), "class Hello {}\r\n");
}

TEST_F(ConvertSourceTest, UncreatableDestinationFailsBeforeAnySplice) {
  write_file(dir.path() / "Hello.java", "class Hello {}\r\n");
  std::string source = dir.str("Hello.java"), destination = dir.str("out.java");
  system.uncreatable.insert(destination);
  EXPECT_FALSE(convert(source, destination));
  EXPECT_EQ(out.str(), headers(source, destination) + "Probleme!!!\n");
  EXPECT_NE(err.str().find("cannot create"), std::string::npos);
}

TEST_F(ConvertSourceTest, AFailedWriteLeavesThePreviousDestinationAndNoTemporaryFile) {
  write_file(dir.path() / "Hello.java", "class Hello {}\r\n");
  write_file(dir.path() / "out.java", "previous");
  std::string source = dir.str("Hello.java"), destination = dir.str("out.java");
  system.unwritable.insert(destination);
  EXPECT_FALSE(convert(source, destination));
  EXPECT_EQ(out.str(), headers(source, destination) + "16 6 5 14\nProbleme!!!\n");
  EXPECT_NE(err.str().find("cannot write"), std::string::npos);
  EXPECT_EQ(read_file(dir.path() / "out.java"), "previous");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// The new file takes the old one's place in one step, with its mode.
TEST_F(ConvertSourceTest, AnExistingDestinationIsReplacedWhole) {
  write_file(dir.path() / "Hello.java", "class Hello {}\r\n");
  write_file(dir.path() / "out.java", std::string(100000, 'x'));
#ifndef _WIN32
  fs::permissions(dir.path() / "out.java", fs::perms(0640));
#endif
  EXPECT_TRUE(convert(dir.str("Hello.java"), dir.str("out.java")));
  EXPECT_EQ(read_file(dir.path() / "out.java"), "class HelloEnConsole {}\r\n");
#ifndef _WIN32
  EXPECT_EQ(fs::status(dir.path() / "out.java").permissions(), fs::perms(0640));
#endif
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST_F(ConvertSourceTest, ADirectoryAtTheDestinationIsRefusedBeforeAnySplice) {
  write_file(dir.path() / "Hello.java", "class Hello {}\r\n");
  fs::create_directory(dir.path() / "out.java");
  EXPECT_FALSE(convert(dir.str("Hello.java"), dir.str("out.java")));
  EXPECT_EQ(out.str(), headers(dir.str("Hello.java"), dir.str("out.java")) + "Probleme!!!\n");
  EXPECT_NE(err.str().find(": it is a directory"), std::string::npos) << err.str();
  EXPECT_TRUE(fs::is_directory(dir.path() / "out.java"));
}

#ifndef _WIN32
TEST_F(ConvertSourceTest, AFifoAtTheDestinationIsRefusedAndALinkReplacedNotFollowed) {
  write_file(dir.path() / "Hello.java", "class Hello {}\r\n");
  ASSERT_EQ(mkfifo((dir.path() / "fifo.java").c_str(), 0600), 0);
  EXPECT_FALSE(convert(dir.str("Hello.java"), dir.str("fifo.java")));
  EXPECT_NE(err.str().find("fifo.java: it is not a regular file"), std::string::npos) << err.str();
  EXPECT_TRUE(fs::is_fifo(dir.path() / "fifo.java"));

  testutil::TempDir outside;
  write_file(outside.path() / "target", "theirs");
  fs::create_symlink(outside.path() / "target", dir.path() / "link.java");
  EXPECT_TRUE(convert(dir.str("Hello.java"), dir.str("link.java")));
  EXPECT_FALSE(fs::is_symlink(dir.path() / "link.java"));
  EXPECT_EQ(read_file(dir.path() / "link.java"), "class HelloEnConsole {}\r\n");
  EXPECT_EQ(read_file(outside.path() / "target"), "theirs");
}
#endif

}  // namespace
}  // namespace convert
