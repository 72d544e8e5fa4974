#include "sweeper/sweep.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "platform/test_support.h"
#include "platform/test_system.h"

namespace sweeper {
namespace {

namespace fs = std::filesystem;

// Every entry below root: "/" after directories, "@" after links.
std::set<std::string> snapshot(const fs::path& root) {
  std::set<std::string> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    std::string name = fs::relative(it->path(), root).generic_string();
    if (it->is_symlink())
      name += "@";
    else if (it->is_directory())
      name += "/";
    entries.insert(name);
  }
  return entries;
}

// The snapshot with the given directories and all below them gone.
std::set<std::string> without(std::set<std::string> entries,
                              const std::vector<std::string>& removed) {
  for (const std::string& dir : removed) {
    for (auto it = entries.begin(); it != entries.end();) {
      if (it->compare(0, dir.size() + 1, dir + "/") == 0)
        it = entries.erase(it);
      else
        ++it;
    }
  }
  return entries;
}

// A directory holding a file, so a removal has something to remove.
void make_dir(const fs::path& dir) {
  fs::create_directories(dir);
  testutil::write_file(dir / "page.htm", "x");
}

std::string removal(const std::string& path) {
#ifdef _WIN32
  return "rd " + path + " /s /q\n";
#else
  return "rm -rf -- " + path + "\n";
#endif
}

std::string native(std::string relative) {
  for (char& c : relative)
    if (c == '/') c = platform::path_separator();
  return relative;
}

class SweeperTest : public ::testing::Test {
 protected:
  SweeperTest() : root(dir.path() / "root") { fs::create_directories(root); }

  // Sweeps from `start` through the test system; returns the result.
  bool sweep(const fs::path& start) {
    testutil::ScopedCurrentDirectory cwd(start);
    out.str("");
    err.str("");
    return Sweeper(io).sweep();
  }

  std::string at(const std::string& relative) { return root.string() + platform::path_separator() + native(relative); }

  testutil::TempDir dir;
  fs::path root;
  platform::TestSystem system;
  std::ostringstream out, err;
  platform::Io io{system, out, err, "sweeper"};
};

TEST_F(SweeperTest, RemovesDepthFirstInListingOrder) {
  for (const char* d : {"a/_vti_cnf", "a/b/_vti_cnf", "c/_vti_cnf", "c/d"}) make_dir(root / d);
  auto before = snapshot(root);
  EXPECT_TRUE(sweep(root)) << err.str();
  EXPECT_EQ(out.str(), removal(at("a/_vti_cnf")) + removal(at("a/b/_vti_cnf")) +
                           removal(at("c/_vti_cnf")));
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(snapshot(root), without(before, {"a/_vti_cnf", "a/b/_vti_cnf", "c/_vti_cnf"}));
}

TEST_F(SweeperTest, OnlyExactlyNamedDirectoriesGo) {
  for (const char* d : {"_VTI_CNF/_vti_cnf", "_vti_cnf2/_vti_cnf", "x/_vti_cnf/inner"})
    make_dir(root / d);
  // Not beside _VTI_CNF, which a case-insensitive file system would confuse.
  fs::create_directories(root / "f");
  testutil::write_file(root / "f" / "_vti_cnf", "a file");
  auto before = snapshot(root);
  EXPECT_TRUE(sweep(root));
  EXPECT_EQ(snapshot(root),
            without(before, {"_VTI_CNF/_vti_cnf", "_vti_cnf2/_vti_cnf", "x/_vti_cnf"}));
  EXPECT_TRUE(fs::is_regular_file(root / "f" / "_vti_cnf"));
}

TEST_F(SweeperTest, TheStartDirectoryIsKeptWhateverItsName) {
  make_dir(root / "_vti_cnf" / "_vti_cnf");
  make_dir(root / "_vti_cnf" / "other");
  EXPECT_TRUE(sweep(root / "_vti_cnf"));
  EXPECT_TRUE(fs::exists(root / "_vti_cnf" / "other" / "page.htm"));
  EXPECT_FALSE(fs::exists(root / "_vti_cnf" / "_vti_cnf"));
}

// Each removal reaches exactly its own directory: the whole tree but the
// _vti_cnf directories is the same afterwards, decoys and all.
TEST_F(SweeperTest, AwkwardNamesReachExactlyTheirOwnDirectory) {
  std::vector<std::string> names = {"a b", "a  b", "a&b", "a^b", "(a)", "a;b", "$HOME", "a'b",
                                    "a%b", "%PATH%", "%a%", "-rf", "--", " lead", "x,y", "x=y",
                                    "@a", "a!b", "!a!", "$(touch INJECTED)", "~"};
#ifndef _WIN32
  for (const char* n : {"a|b", "a<b", "a>b", "a\"b", "`touch INJECTED`", "new\nline", "*", "?",
                        "a\\b", "\\"})
    names.push_back(n);
#endif
  // On Windows %SWEEP_DECOY% would expand into a command removing "keep".
  testutil::ScopedEnv expansion("SWEEP_DECOY", "keep /s /q & rem ");
  names.push_back("%SWEEP_DECOY%");
  std::vector<std::string> removed;
  for (const std::string& name : names) {
    make_dir(root / name / "_vti_cnf");
    removed.push_back(name + "/_vti_cnf");
  }
  // Where a split or an expansion would land.
  for (const char* decoy : {"a", "b", "lead", "x", "y", "HOME", "PATH", "a%", "%a", "keep"})
    make_dir(root / decoy);
  auto before = snapshot(root);
  EXPECT_TRUE(sweep(root)) << err.str();
  EXPECT_EQ(snapshot(root), without(before, removed));
}

TEST_F(SweeperTest, UnreadableDirectoriesAreSkippedAndReported) {
  for (const char* d : {"a/_vti_cnf", "b/_vti_cnf", "c/_vti_cnf"}) make_dir(root / d);
  system.unenterable.insert(at("a"));
  system.unlistable.insert(at("b"));
  EXPECT_FALSE(sweep(root));
  EXPECT_EQ(out.str(), removal(at("c/_vti_cnf")));
  EXPECT_NE(err.str().find("cannot enter " + at("a")), std::string::npos);
  EXPECT_NE(err.str().find("cannot list " + at("b")), std::string::npos);
  EXPECT_TRUE(fs::exists(root / "a" / "_vti_cnf"));
  EXPECT_TRUE(fs::exists(root / "b" / "_vti_cnf"));
}

TEST_F(SweeperTest, AFailedRemovalFailsTheSweep) {
  make_dir(root / "_vti_cnf");
  system.command_status = [](const std::string&) { return 0; };  // claims success, does nothing
  EXPECT_FALSE(sweep(root));
  EXPECT_NE(err.str().find("still there"), std::string::npos);
  system.command_status = [](const std::string&) { return 2; };
  EXPECT_FALSE(sweep(root));
  EXPECT_NE(err.str().find("status 2"), std::string::npos);
}

TEST_F(SweeperTest, DeepTreesAndManySubdirectories) {
  fs::path deep = root;
#ifdef _WIN32
  const int depth = 8;  // within MAX_PATH
#else
  const int depth = 60;
#endif
  for (int i = 0; i < depth; ++i) deep /= "level-with-a-long-name";
  make_dir(deep / "_vti_cnf");
  for (int i = 0; i < 300; ++i) fs::create_directories(root / ("d" + std::to_string(i)));
  make_dir(root / "d299" / "_vti_cnf");
  EXPECT_TRUE(sweep(root)) << err.str();
  EXPECT_FALSE(fs::exists(deep / "_vti_cnf"));
  EXPECT_FALSE(fs::exists(root / "d299" / "_vti_cnf"));
  EXPECT_TRUE(fs::exists(deep / ".." / "level-with-a-long-name"));
}

#ifndef _WIN32
TEST_F(SweeperTest, LinksAreNeitherFollowedNorRemoved) {
  fs::path outside = dir.path() / "outside";
  make_dir(outside / "_vti_cnf");
  fs::create_directory_symlink(outside, root / "ext");
  fs::create_directory_symlink(outside / "_vti_cnf", root / "_vti_cnf");
  fs::create_directory_symlink(root, root / "loop");
  make_dir(root / "real" / "_vti_cnf");
  auto before = snapshot(dir.path());
  EXPECT_TRUE(sweep(root)) << err.str();
  EXPECT_EQ(out.str(), removal(at("real/_vti_cnf")));
  EXPECT_EQ(snapshot(dir.path()), without(before, {"root/real/_vti_cnf"}));
}

TEST_F(SweeperTest, AnUnreadableStartFailsWithAMessage) {
  testutil::ScopedCurrentDirectory cwd(root);
  fs::remove(root);  // the current directory no longer has a path
  EXPECT_FALSE(Sweeper(io).sweep());
  EXPECT_EQ(err.str(), "sweeper: cannot read the current directory\n");
  EXPECT_EQ(out.str(), "");
}

TEST_F(SweeperTest, PathsBeyondTheSystemLimitFailCleanly) {
  // Built relative, one step at a time, to get past PATH_MAX.
  testutil::ScopedCurrentDirectory cwd(root);
  fs::path relative;
  std::string name(200, 'n');
  for (int i = 0; i < 25; ++i) {
    fs::create_directory(name);
    fs::current_path(name);
  }
  fs::create_directory("_vti_cnf");
  fs::current_path(root);
  EXPECT_FALSE(sweep(root));
  EXPECT_NE(err.str().find("cannot enter"), std::string::npos);
}
#endif

TEST(SweeperProgram, PrintsOnlyItsCommandsAndIgnoresArguments) {
  testutil::TempDir dir;
  for (const char* d : {"a/_vti_cnf", "b/c/_vti_cnf"}) make_dir(dir.path() / d);
  testutil::ScopedCurrentDirectory cwd(dir.path());
  auto run = testutil::run_program("sweeper", {"ignored", "--help"});
  std::string sep(1, platform::path_separator());
  EXPECT_EQ(run.out, testutil::native_lines(removal(dir.str("a") + sep + "_vti_cnf") +
                                            removal(dir.str("b") + sep + "c" + sep + "_vti_cnf")));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
  EXPECT_FALSE(fs::exists(dir.path() / "a" / "_vti_cnf"));
  EXPECT_TRUE(fs::exists(dir.path() / "b" / "c"));
}

}  // namespace
}  // namespace sweeper
