// A System for tests: forwards to the real one, records what it is asked to
// run, and fails on request where a real file system would not for root.
#ifndef PLATFORM_TEST_SYSTEM_H
#define PLATFORM_TEST_SYSTEM_H

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/system.h"

namespace platform {

class TestSystem : public System {
 public:
  struct Command {
    std::string directory;  // current directory when it ran
    std::string text;
  };

  // When set, commands are not run but recorded, and this gives the status
  // (nullopt: the interpreter could not start).
  std::function<std::optional<int>(const std::string&)> command_status;
  std::vector<Command> commands;

  // Paths, as the caller composes them, where an operation fails.
  std::set<std::string> unenterable;  // change_directory, open_directory, Directory::open
  std::set<std::string> unlistable;   // Directory::list
  std::set<std::string> undeletable;  // Directory::remove
  std::set<std::string> unreadable;   // read_file
  std::set<std::string> uncreatable;  // create_new_file, create_replacement
  std::set<std::string> unwritable;   // writes to the created file fail
  // Programs found by find_program, by name; others are looked up for real.
  std::map<std::string, std::optional<std::string>> programs;
  // Called with the path of each subdirectory about to be opened through
  // a Directory: a walk can be changed under it at a known moment.
  std::function<void(const std::string&)> before_open;
  // When set, the running program's file as executable_path gives it.
  std::optional<std::optional<std::string>> executable;
  // Overrides the platform's choice of tree removal.
  std::optional<bool> interpreter_removes_trees;

  std::optional<int> run_command(const std::string& command) override;
  bool change_directory(const std::string& path, std::string& error) override;
  std::optional<std::string> current_directory() override;
  std::optional<std::string> absolute_path(const std::string& path, std::string& error) override;
  FileType file_type(const std::string& path) override;
  std::optional<std::string> executable_path() override;
  std::optional<FileStamp> stamp(const std::string& path) override;
  std::optional<std::string> find_program(const std::string& name,
                                          const std::string& directory) override;
  std::unique_ptr<Directory> open_directory(const std::string& path, std::string& error) override;
  bool read_file(const std::string& path, std::string& contents, std::string& error) override;
  std::unique_ptr<OutputFile> create_new_file(const std::string& path, std::string& error) override;
  std::unique_ptr<OutputFile> create_replacement(const std::string& path,
                                                 std::string& error) override;
  bool delete_file(const std::string& path, std::string& error) override;
  bool removes_trees_through_interpreter() const override;
  bool same_file(const std::string& a, const std::string& b) override;

 private:
  std::unique_ptr<OutputFile> injected(std::unique_ptr<OutputFile> file, const std::string& path,
                                       std::string& error);

  System& real_ = real_system();
};

}  // namespace platform

#endif  // PLATFORM_TEST_SYSTEM_H
