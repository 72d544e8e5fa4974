#include "platform/system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/test_support.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

std::vector<DirEntry> list(const std::string& directory) {
  std::vector<DirEntry> entries;
  auto search = real_system().find_first_entry(directory);
  EXPECT_TRUE(search);
  if (!search) return entries;
  while (auto entry = search->find_next_entry()) entries.push_back(*entry);
  EXPECT_FALSE(search->failed());
  return entries;
}

TEST(RunCommand, RunsInTheCurrentDirectoryAndReturnsTheStatus) {
  testutil::TempDir dir;
  testutil::ScopedCurrentDirectory cwd(dir.path());
  EXPECT_EQ(real_system().run_command("echo made> made.txt"), 0);
  EXPECT_TRUE(fs::exists(dir.path() / "made.txt"));
  EXPECT_EQ(real_system().run_command("exit 3"), 3);
}

#ifdef _WIN32
TEST(RunCommand, FallsBackToCmdWhenComspecIsUnsetOrMissing) {
  {
    testutil::ScopedEnv comspec("COMSPEC", std::nullopt);
    EXPECT_EQ(real_system().run_command("exit 4"), 4);
  }
  testutil::ScopedEnv comspec("COMSPEC", "C:\\no\\such\\interpreter.exe");
  EXPECT_EQ(real_system().run_command("exit 5"), 5);
}

TEST(RunCommand, AnInterpreterThatCannotStartGivesMinusOne) {
  testutil::TempDir dir;
  testutil::write_file(dir.path() / "broken.exe", "not a program");
  {
    testutil::ScopedEnv comspec("COMSPEC", dir.str("broken.exe"));
    EXPECT_EQ(real_system().run_command("exit 0"), -1);
  }
  testutil::ScopedCurrentDirectory cwd(dir.path());
  testutil::ScopedEnv comspec("COMSPEC", std::nullopt);
  testutil::ScopedEnv path("PATH", dir.str());
  EXPECT_EQ(real_system().run_command("exit 0"), -1);
}
#endif

TEST(Directories, ChangeAndReadTheCurrentDirectory) {
  testutil::TempDir dir;
  fs::create_directory(dir.path() / "sub");
  testutil::ScopedCurrentDirectory cwd(dir.path());
  std::string error;
  EXPECT_TRUE(real_system().change_directory("sub", error));
  EXPECT_EQ(real_system().current_directory(), dir.str("sub"));
  EXPECT_FALSE(real_system().change_directory("missing", error));
  EXPECT_EQ(real_system().current_directory(), dir.str("sub"));
}

TEST(FindEntries, ListsNamesWithTheirKindWithoutDots) {
  testutil::TempDir dir;
  fs::create_directory(dir.path() / "b");
  fs::create_directory(dir.path() / "_a");
  testutil::write_file(dir.path() / "c", "");
  auto entries = list(dir.str());
  ASSERT_EQ(entries.size(), 3u);
#ifndef _WIN32
  // Byte order, so runs are reproducible.
  EXPECT_EQ(entries[0].name, "_a");
  EXPECT_EQ(entries[1].name, "b");
  EXPECT_EQ(entries[2].name, "c");
#endif
  for (const DirEntry& e : entries) {
    EXPECT_EQ(e.is_directory, e.name != "c") << e.name;
    EXPECT_FALSE(e.is_link);
  }
  EXPECT_FALSE(real_system().find_first_entry(dir.str("missing")));
  EXPECT_FALSE(real_system().find_first_entry(dir.str("c")));
}

#ifndef _WIN32
TEST(FindEntries, LinksAreMarkedAndRemoveTreeDoesNotFollowThem) {
  testutil::TempDir dir;
  fs::create_directories(dir.path() / "outside");
  testutil::write_file(dir.path() / "outside" / "keep", "x");
  fs::create_directories(dir.path() / "tree" / "sub");
  fs::create_directory_symlink(dir.path() / "outside", dir.path() / "tree" / "link");
  auto entries = list(dir.str("tree"));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_TRUE(entries[0].is_link);
  std::string error;
  EXPECT_TRUE(real_system().remove_tree(dir.str("tree"), error)) << error;
  EXPECT_FALSE(fs::exists(dir.path() / "tree"));
  EXPECT_TRUE(fs::exists(dir.path() / "outside" / "keep"));
}
#endif

TEST(FindProgram, FirstMatchOnPathWithLinksResolved) {
  testutil::TempDir dir;
  for (const char* sub : {"a", "b", "dest/rel"}) fs::create_directories(dir.path() / sub);
  const fs::path log = dir.path() / "log";
  testutil::write_recording_tool(dir.path() / "b", "tool", log);
  testutil::write_recording_tool(dir.path() / "dest" / "rel", "tool", log);
  const std::string list_separator =
#ifdef _WIN32
      ";";
#else
      ":";
#endif
  testutil::ScopedEnv path("PATH", dir.str("a") + list_separator + dir.str("b"));
  auto found = real_system().find_program("tool", dir.str("dest"));
  ASSERT_TRUE(found);
  EXPECT_EQ(fs::path(*found).parent_path(), dir.path() / "b");
  EXPECT_FALSE(real_system().find_program("nothing", dir.str("dest")));
#ifndef _WIN32
  // A relative entry counts from the directory the command will run in.
  testutil::ScopedEnv relative("PATH", std::string("rel"));
  EXPECT_EQ(real_system().find_program("tool", dir.str("dest")), dir.str("dest/rel/tool"));
  // Not executable: skipped, as the shell would.
  testutil::write_file(dir.path() / "a" / "tool", "");
  fs::create_directory_symlink(dir.path() / "b", dir.path() / "linked");
  testutil::ScopedEnv linked("PATH", dir.str("a") + ":" + dir.str("linked"));
  EXPECT_EQ(real_system().find_program("tool", dir.str()), dir.str("b/tool"));
#endif
}

TEST(Files, WriteReadDeleteAndIdentity) {
  testutil::TempDir dir;
  std::string path = dir.str("f"), error;
  std::string bytes("a\r\n\0b\n", 6);
  ASSERT_TRUE(real_system().write_file(path, bytes, error)) << error;
  std::string back;
  ASSERT_TRUE(real_system().read_file(path, back, error)) << error;
  EXPECT_EQ(back, bytes);
  fs::create_directory(dir.path() / "d");
  EXPECT_TRUE(real_system().same_file(path, dir.str("d") + "/../f"));
  EXPECT_FALSE(real_system().same_file(path, dir.str("d")));
  EXPECT_FALSE(real_system().same_file(path, dir.str("missing")));
  EXPECT_TRUE(real_system().delete_file(path, error));
  EXPECT_FALSE(real_system().read_file(path, back, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace platform
