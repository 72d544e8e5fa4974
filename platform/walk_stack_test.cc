#include "platform/walk_stack.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system.h"
#include "platform/test_support.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// start/a1/a2/.../aN
fs::path chain(const fs::path& start, int depth) {
  fs::path at = start;
  for (int i = 1; i <= depth; ++i) at /= "a" + std::to_string(i);
  fs::create_directories(at);
  return at;
}

WalkStack open_walk(const testutil::TempDir& dir) {
  std::string error;
  auto start = real_system().open_directory(dir.str(), error);
  EXPECT_TRUE(start) << error;
  return WalkStack(std::move(start), dir.str());
}

// Far below the directories it holds open, the walk still lists where it
// stands and comes back up through every level to the start.
TEST(WalkStack, GoesDownAndBackUpBeyondTheDirectoriesItHolds) {
  testutil::TempDir dir;
  const int depth = static_cast<int>(WalkStack::kHeld) * 3;
  testutil::write_file(chain(dir.path(), depth) / "leaf", "");
  WalkStack walk = open_walk(dir);
  std::string error, lost;
  for (int i = 1; i <= depth; ++i) ASSERT_TRUE(walk.push("a" + std::to_string(i), error)) << error;
  EXPECT_EQ(walk.depth(), static_cast<size_t>(depth));
  EXPECT_EQ(walk.name(), "a" + std::to_string(depth));
  EXPECT_EQ(fs::path(walk.path()), chain(dir.path(), depth));
  for (int i = depth; i >= 1; --i) {
    std::vector<DirEntry> entries;
    ASSERT_TRUE(walk.top().list(entries, error)) << i << ": " << error;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, i == depth ? "leaf" : "a" + std::to_string(i + 1));
    EXPECT_EQ(walk.pop(lost, error), 1u) << error;
  }
  EXPECT_EQ(walk.depth(), 0u);
  EXPECT_EQ(walk.path(), dir.str());
  EXPECT_FALSE(walk.push("missing", error));
  EXPECT_EQ(walk.depth(), 0u);
}

#ifndef _WIN32
// A directory let go of must be the same when the walk comes back: here
// its child was moved elsewhere meanwhile, so its ".." is another one.
TEST(WalkStack, ADirectoryReplacedWhileLetGoOfIsNotTakenForIt) {
  testutil::TempDir dir;
  const int depth = static_cast<int>(WalkStack::kHeld) + 4;
  chain(dir.path(), depth);
  fs::create_directories(dir.path() / "elsewhere");
  WalkStack walk = open_walk(dir);
  std::string error, lost;
  for (int i = 1; i <= depth; ++i) ASSERT_TRUE(walk.push("a" + std::to_string(i), error));
  fs::rename(dir.path() / "a1" / "a2" / "a3", dir.path() / "elsewhere" / "a3");
  for (int i = depth; i > 3; --i) ASSERT_EQ(walk.pop(lost, error), 1u) << i << ": " << error;
  EXPECT_EQ(walk.pop(lost, error), 3u);
  EXPECT_EQ(fs::path(lost), dir.path() / "a1" / "a2");
  EXPECT_EQ(error, "it was moved or replaced during the walk");
  EXPECT_EQ(walk.depth(), 0u);
  EXPECT_EQ(walk.path(), dir.str());
}
#endif

}  // namespace
}  // namespace platform
