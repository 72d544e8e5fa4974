#include "platform/tree_removal.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system.h"
#include "platform/test_support.h"
#include "platform/test_system.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class TreeRemovalTest : public ::testing::Test {
 protected:
  TreeRemovalTest() {
    for (const char* d : {"tree/a/b", "tree/c", "outside"}) fs::create_directories(dir.path() / d);
    for (const char* f : {"tree/f", "tree/a/g", "tree/a/b/h", "outside/keep"})
      testutil::write_file(dir.path() / f, "x");
  }

  bool remove() {
    std::string error;
    auto parent = system.open_directory(dir.str(), error);
    EXPECT_TRUE(parent) << error;
    return remove_tree(*parent, "tree", dir.str("tree"),
                       [this](const std::string& path, const std::string& reason) {
                         failures.push_back(path + ": " + reason);
                       });
  }

  std::string at(const std::string& relative) {
    std::string path = dir.str("tree");
    for (char c : "/" + relative) path += c == '/' ? path_separator() : c;
    return path;
  }

  testutil::TempDir dir;
  TestSystem system;
  std::vector<std::string> failures;
};

TEST_F(TreeRemovalTest, RemovesEverythingBelow) {
  EXPECT_TRUE(remove());
  EXPECT_TRUE(failures.empty());
  EXPECT_FALSE(fs::exists(dir.path() / "tree"));
  EXPECT_TRUE(fs::exists(dir.path() / "outside" / "keep"));
}

#ifndef _WIN32
TEST_F(TreeRemovalTest, LinksAreRemovedNeverFollowed) {
  fs::create_directory_symlink(dir.path() / "outside", dir.path() / "tree" / "a" / "dirlink");
  fs::create_symlink(dir.path() / "outside" / "keep", dir.path() / "tree" / "filelink");
  fs::create_symlink(dir.path() / "nowhere", dir.path() / "tree" / "dangling");
  EXPECT_TRUE(remove());
  EXPECT_FALSE(fs::exists(dir.path() / "tree"));
  EXPECT_EQ(testutil::read_file(dir.path() / "outside" / "keep"), "x");
}

// A directory swapped for a link between the listing and the descent is
// not entered: what the link points to stays whole.
TEST_F(TreeRemovalTest, ADirectorySwappedForALinkIsNotEntered) {
  system.before_open = [this](const std::string& path) {
    if (path != at("a")) return;
    fs::rename(dir.path() / "tree" / "a", dir.path() / "moved");
    fs::create_directory_symlink(dir.path() / "outside", dir.path() / "tree" / "a");
  };
  EXPECT_FALSE(remove());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0], at("a") + ": it is a link");
  EXPECT_TRUE(fs::exists(dir.path() / "outside" / "keep"));
  EXPECT_TRUE(fs::exists(dir.path() / "moved" / "b" / "h"));
  EXPECT_FALSE(fs::exists(dir.path() / "tree" / "c"));
}
#endif

TEST_F(TreeRemovalTest, AnEntryThatCannotGoIsReportedOnceAndTheRestGoes) {
  system.undeletable.insert(at("a/b/h"));
  system.unlistable.insert(at("c"));
  EXPECT_FALSE(remove());
  EXPECT_EQ(failures,
            (std::vector<std::string>{at("a/b/h") + ": injected removal failure",
                                      at("c") + ": cannot list: injected listing failure"}));
  EXPECT_TRUE(fs::exists(dir.path() / "tree" / "a" / "b" / "h"));
  EXPECT_FALSE(fs::exists(dir.path() / "tree" / "a" / "g"));
  EXPECT_FALSE(fs::exists(dir.path() / "tree" / "f"));
}

}  // namespace
}  // namespace platform
