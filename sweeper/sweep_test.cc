#include "sweeper/sweep.h"

#include <gtest/gtest.h>

#include "sweeper/front_end.h"

#include <filesystem>
#include <set>
#include <sstream>

#include "platform/test_support.h"
#include "platform/test_system.h"
#include "platform/tree_removal.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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
    return Sweeper(io, {}).sweep("");
  }

  std::string at(const std::string& relative) { return root.string() + platform::path_separator() + native(relative); }

  // The command line, run in-process from `start`.
  int run(const fs::path& start, const std::vector<std::string>& args) {
    testutil::ScopedCurrentDirectory cwd(start);
    out.str("");
    err.str("");
    return sweeper::run(io, args);
  }

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

TEST_F(SweeperTest, AnEntryThatCannotBeRemovedIsReportedAndTheRestGoes) {
  for (const char* d : {"a/_vti_cnf/sub", "b/_vti_cnf"}) make_dir(root / d);
  system.interpreter_removes_trees = false;  // as on POSIX, and for Windows' awkward paths
  system.undeletable.insert(at("a/_vti_cnf/sub/page.htm"));
  EXPECT_FALSE(sweep(root));
  EXPECT_EQ(err.str(), "sweeper: error: cannot remove " + at("a/_vti_cnf/sub/page.htm") +
                           ": injected removal failure\n");
  EXPECT_EQ(out.str(), removal(at("a/_vti_cnf")) + removal(at("b/_vti_cnf")));
  EXPECT_TRUE(fs::exists(root / "a" / "_vti_cnf" / "sub" / "page.htm"));
  EXPECT_FALSE(fs::exists(root / "a" / "_vti_cnf" / "page.htm"));
  EXPECT_FALSE(fs::exists(root / "b" / "_vti_cnf"));
}

// Where removals go through the interpreter (Windows), its word is not
// taken for it.
TEST_F(SweeperTest, AnInterpreterRemovalThatFailsFailsTheSweep) {
  make_dir(root / "_vti_cnf");
  system.interpreter_removes_trees = true;
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
  EXPECT_FALSE(Sweeper(io, {}).sweep(""));
  EXPECT_EQ(err.str(), "sweeper: error: cannot read the current directory\n");
  EXPECT_EQ(out.str(), "");
}

// The walk holds each directory open and goes on by name, so depth is no
// limit; the printed path is as long as it takes.
TEST_F(SweeperTest, PathsBeyondTheSystemLimitAreSweptToo) {
  testutil::ScopedCurrentDirectory cwd(root);
  std::string name(200, 'n');
  std::string relative;
  for (int i = 0; i < 25; ++i) {
    fs::create_directory(name);
    fs::current_path(name);
    relative += name + "/";
  }
  fs::create_directories("_vti_cnf/inner");
  fs::current_path(root);
  EXPECT_TRUE(sweep(root)) << err.str();
  EXPECT_EQ(out.str(), removal(at(relative + "_vti_cnf")));
  fs::current_path(root);
  for (int i = 0; i < 25; ++i) fs::current_path(name);
  EXPECT_FALSE(fs::exists("_vti_cnf"));
}

// A directory swapped for a link between its listing and its visit is not
// followed: neither a plain one nor a _vti_cnf about to be removed.
TEST_F(SweeperTest, DirectoriesSwappedForLinksMidWalkAreLeftAlone) {
  fs::path outside = dir.path() / "outside";
  make_dir(outside / "_vti_cnf");
  for (const char* d : {"a/_vti_cnf", "b/_vti_cnf", "c/_vti_cnf"}) make_dir(root / d);
  auto swap = [&](const fs::path& victim, const fs::path& target) {
    fs::rename(victim, dir.path() / ("moved-" + victim.parent_path().filename().string()));
    fs::create_directory_symlink(target, victim);
  };
  system.before_open = [&](const std::string& path) {
    if (path == at("a")) swap(root / "a", outside);
    if (path == at("b/_vti_cnf")) swap(root / "b" / "_vti_cnf", outside / "_vti_cnf");
  };
  auto outside_before = snapshot(outside);
  EXPECT_FALSE(sweep(root));
  EXPECT_EQ(snapshot(outside), outside_before);
  EXPECT_EQ(out.str(), removal(at("b/_vti_cnf")) + removal(at("c/_vti_cnf")));
  EXPECT_EQ(err.str(), "sweeper: error: cannot enter " + at("a") + ": it is a link; skipped\n" +
                           "sweeper: error: cannot remove " + at("b/_vti_cnf") +
                           ": it is a link\n");
  EXPECT_FALSE(fs::exists(root / "c" / "_vti_cnf"));
}
#endif

TEST_F(SweeperTest, UsageErrorsRemoveNothing) {
  make_dir(root / "_vti_cnf");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--bogus"}, "unrecognized option '--bogus'"},
      {{"-x"}, "invalid option -- 'x'"},
      {{"a", "b"}, "extra operand 'b'"},
      {{"--dry-run=yes"}, "option '--dry-run' doesn't allow an argument"}};
  for (const auto& [args, problem] : cases) {
    EXPECT_EQ(run(root, args), 2);
    EXPECT_EQ(err.str(), "sweeper: " + problem + "\nTry 'sweeper --help'.\n");
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_TRUE(fs::exists(root / "_vti_cnf"));
}

TEST_F(SweeperTest, HelpAndVersion) {
  make_dir(root / "_vti_cnf");
  for (const char* help : {"--help", "-h"}) {
    EXPECT_EQ(run(root, {help}), 0);
    EXPECT_EQ(out.str().rfind("Usage: sweeper [OPTION]... [DIR]\n", 0), 0u);
    for (const char* option : {"-n, --dry-run", "-h, --help", "--version", "Exit status:"})
      EXPECT_NE(out.str().find(option), std::string::npos) << option;
  }
  EXPECT_EQ(run(root, {"--version"}), 0);
  EXPECT_EQ(out.str(), "sweeper " CONSOLETOOLS_VERSION "\n");
  EXPECT_TRUE(fs::exists(root / "_vti_cnf"));
}

TEST_F(SweeperTest, ADryRunPrintsWhatARealRunDoesAndRemovesNothing) {
  for (const char* d : {"a/_vti_cnf", "a b/_vti_cnf", "c/d/_vti_cnf"}) make_dir(root / d);
  auto before = snapshot(root);
  for (const char* dry : {"-n", "--dry-run"}) {
    EXPECT_EQ(run(root, {dry}), 0);
    EXPECT_EQ(snapshot(root), before);
  }
  const std::string dry_out = out.str();
  EXPECT_EQ(run(root, {}), 0);
  EXPECT_EQ(out.str(), dry_out);
  EXPECT_EQ(snapshot(root), without(before, {"a/_vti_cnf", "a b/_vti_cnf", "c/d/_vti_cnf"}));
}

TEST_F(SweeperTest, ADirOperandIsSweptFromItsAbsolutePath) {
  make_dir(root / "site" / "x" / "_vti_cnf");
  make_dir(root / "other" / "_vti_cnf");
  // Relative, and through "..": printed from the directory it names.
  EXPECT_EQ(run(root / "other", {".." + std::string(1, platform::path_separator()) + "site"}), 0);
  EXPECT_EQ(out.str(), removal(at("site/x/_vti_cnf")));
  EXPECT_TRUE(fs::exists(root / "other" / "_vti_cnf"));
  // "--" lets a directory be named like an option.
  make_dir(root / "-n" / "_vti_cnf");
  EXPECT_EQ(run(root, {"--", "-n"}), 0);
  EXPECT_EQ(out.str(), removal(at("-n/_vti_cnf")));
}

TEST_F(SweeperTest, ADirThatIsMissingOrNoDirectoryIsAnError) {
  testutil::write_file(root / "file", "");
  EXPECT_EQ(run(root, {"missing"}), 1);
  EXPECT_EQ(err.str().rfind("sweeper: error: cannot sweep missing: ", 0), 0u) << err.str();
  EXPECT_EQ(run(root, {"file"}), 1);
  EXPECT_EQ(err.str().rfind("sweeper: error: cannot sweep file: ", 0), 0u) << err.str();
  EXPECT_EQ(run(root, {""}), 1);
  EXPECT_EQ(err.str(), "sweeper: error: cannot sweep '': No such file or directory\n");
  EXPECT_EQ(out.str(), "");
}

TEST(SweeperProgram, PrintsOnlyItsCommands) {
  testutil::TempDir dir;
  for (const char* d : {"a/_vti_cnf", "b/c/_vti_cnf"}) make_dir(dir.path() / d);
  testutil::ScopedCurrentDirectory cwd(dir.path());
  auto run = testutil::run_program("sweeper", {});
  std::string sep(1, platform::path_separator());
  EXPECT_EQ(run.out, testutil::native_lines(removal(dir.str("a") + sep + "_vti_cnf") +
                                            removal(dir.str("b") + sep + "c" + sep + "_vti_cnf")));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
  EXPECT_FALSE(fs::exists(dir.path() / "a" / "_vti_cnf"));
  EXPECT_TRUE(fs::exists(dir.path() / "b" / "c"));
}

#ifndef _WIN32
TEST(SweeperProgram, AFullStandardOutputFailsTheRun) {
  testutil::TempDir dir;
  make_dir(dir.path() / "_vti_cnf");
  testutil::ScopedCurrentDirectory cwd(dir.path());
  auto run = testutil::run_command_line(
      "(" + (testutil::executable_directory() / "sweeper").string() + " >/dev/full)");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "sweeper: error: cannot write to standard output\n");
}

// A chain of `depth` directories named `name` below `top`, made without
// holding one descriptor per level. Returns a descriptor on the last one.
int make_chain(int top, const std::string& name, int depth) {
  int at = dup(top);
  for (int i = 0; i < depth; ++i) {
    EXPECT_EQ(mkdirat(at, name.c_str(), 0700), 0);
    int next = openat(at, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(at);
    at = next;
  }
  return at;
}

// 10,000 levels, 5,000 to walk down and 5,000 to remove, with names of 100
// bytes (a path of a megabyte) and 32 descriptors: time and memory grow
// with the depth, not its square, and the descriptors do not run out.
TEST(SweeperProgram, TenThousandLevelsInLittleMemoryAndFewDescriptors) {
  testutil::TempDir dir;
  const std::string name(100, 'd');
  const int root = open(dir.str().c_str(), O_RDONLY | O_DIRECTORY);
  const int bottom = make_chain(root, name, 5000);
  ASSERT_EQ(mkdirat(bottom, "_vti_cnf", 0700), 0);
  const int vti = openat(bottom, "_vti_cnf", O_RDONLY | O_DIRECTORY);
  close(make_chain(vti, std::string(100, 'e'), 5000));
  close(vti);

  testutil::Child::Options options;
  options.open_files = 32;
  testutil::Child child("sweeper", {dir.str()}, options);
  auto run = child.wait();
  EXPECT_EQ(run.status, 0) << run.err.substr(run.err.size() > 300 ? run.err.size() - 300 : 0);
  EXPECT_EQ(run.out.rfind("rm -rf -- " + dir.str() + "/" + name + "/", 0), 0u);
  EXPECT_EQ(run.out.size(), std::string("rm -rf -- ").size() + dir.str().size() +
                                5000 * (name.size() + 1) + std::string("/_vti_cnf\n").size());
  EXPECT_EQ(faccessat(bottom, "_vti_cnf", F_OK, AT_SYMLINK_NOFOLLOW), -1);
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(child.max_rss_kilobytes(), 50 * 1024);
#endif
  close(bottom);

  // What is left is deeper than std::filesystem can remove.
  std::string error;
  auto start = platform::real_system().open_directory(dir.str(), error);
  EXPECT_TRUE(platform::remove_tree(*start, name, dir.str(""),
                                    [](const std::string& path, const std::string& reason) {
                                      ADD_FAILURE() << path.substr(0, 200) << ": " << reason;
                                    }));
  close(root);
}
#endif

}  // namespace
}  // namespace sweeper
