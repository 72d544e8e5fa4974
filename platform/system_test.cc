#include "platform/system.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/test_support.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

std::vector<DirEntry> list(Directory& dir) {
  std::vector<DirEntry> entries;
  std::string error;
  EXPECT_TRUE(dir.list(entries, error)) << error;
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

// An exit code of 0xFFFFFFFF is a status like any other, told apart from
// an interpreter that could not start.
TEST(RunCommand, AnInterpreterThatCannotStartGivesNoStatus) {
  EXPECT_EQ(real_system().run_command("exit -1"), -1);
  testutil::TempDir dir;
  testutil::write_file(dir.path() / "broken.exe", "not a program");
  {
    testutil::ScopedEnv comspec("COMSPEC", dir.str("broken.exe"));
    EXPECT_EQ(real_system().run_command("exit 0"), std::nullopt);
  }
  testutil::ScopedCurrentDirectory cwd(dir.path());
  testutil::ScopedEnv comspec("COMSPEC", std::nullopt);
  testutil::ScopedEnv path("PATH", dir.str());
  EXPECT_EQ(real_system().run_command("exit 0"), std::nullopt);
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

TEST(Directories, ListsNamesWithTheirTypesInByteOrder) {
  testutil::TempDir dir;
  fs::create_directory(dir.path() / "b");
  fs::create_directory(dir.path() / "_a");
  testutil::write_file(dir.path() / "c", "");
  std::string error;
  auto opened = real_system().open_directory(dir.str(), error);
  ASSERT_TRUE(opened) << error;
  auto entries = list(*opened);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "_a");
  EXPECT_EQ(entries[1].name, "b");
  EXPECT_EQ(entries[2].name, "c");
  EXPECT_EQ(entries[0].type, FileType::directory);
  EXPECT_EQ(entries[2].type, FileType::regular);
  // Listing again gives the same, not what is left after the first.
  EXPECT_EQ(list(*opened).size(), 3u);
  EXPECT_TRUE(opened->open("b", error));
  EXPECT_FALSE(opened->open("c", error));
  EXPECT_EQ(error, "it is not a directory");
  EXPECT_FALSE(opened->open("missing", error));
  EXPECT_TRUE(opened->contains("c"));
  EXPECT_TRUE(opened->remove("c", false, error)) << error;
  EXPECT_FALSE(opened->contains("c"));
  EXPECT_FALSE(real_system().open_directory(dir.str("missing"), error));
  EXPECT_FALSE(real_system().open_directory(dir.str("b") + "/../c", error));
}

#ifndef _WIN32
TEST(Directories, LinksAreListedAsLinksAndNeverOpened) {
  testutil::TempDir dir;
  fs::create_directories(dir.path() / "outside");
  fs::create_directories(dir.path() / "tree");
  fs::create_directory_symlink(dir.path() / "outside", dir.path() / "tree" / "link");
  std::string error;
  auto tree = real_system().open_directory(dir.str("tree"), error);
  ASSERT_TRUE(tree) << error;
  auto entries = list(*tree);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].type, FileType::link);
  EXPECT_FALSE(tree->open("link", error));
  EXPECT_EQ(error, "it is a link");
  EXPECT_EQ(real_system().file_type(dir.str("tree/link")), FileType::link);
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
  auto file = real_system().create_replacement(path, error);
  ASSERT_TRUE(file && file->write(bytes, error) && file->close(error)) << error;
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
