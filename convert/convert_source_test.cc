#include "convert/convert_source.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/test_support.h"
#include "platform/test_system.h"

namespace convert {
namespace {

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
    return convert_source(io, source, destination, "Hello", "HelloEnConsole");
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

TEST_F(ConvertSourceTest, FailedWriteIsReported) {
  write_file(dir.path() / "Hello.java", "class Hello {}\r\n");
  std::string source = dir.str("Hello.java"), destination = dir.str("out.java");
  system.unwritable.insert(destination);
  EXPECT_FALSE(convert(source, destination));
  EXPECT_EQ(out.str(), headers(source, destination) + "16 6 5 14\nProbleme!!!\n");
  EXPECT_NE(err.str().find("cannot write"), std::string::npos);
}

}  // namespace
}  // namespace convert
