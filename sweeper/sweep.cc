#include "sweeper/sweep.h"

#include <ostream>
#include <vector>

#include "platform/command_line.h"

namespace sweeper {

bool Sweeper::sweep() {
  auto start = io_.system.current_directory();
  if (!start) {
    fail("cannot read the current directory");
    return false;
  }
  sweep_dir(*start);
  return ok_;
}

void Sweeper::sweep_dir(const std::string& path) {
  // A directory that cannot be entered is skipped; listing on regardless
  // would list the one entered last in its place.
  std::string error;
  if (!io_.system.change_directory(path, error)) {
    fail("cannot enter " + path + ": " + error + "; skipped");
    return;
  }
  std::vector<std::string> subdirectories;
  {
    auto search = io_.system.find_first_entry(path);
    if (!search) {
      fail("cannot list " + path + "; skipped");
      return;
    }
    while (auto entry = search->find_next_entry()) {
      // Links and junctions are never followed: no cycles, nothing outside.
      if (entry->is_directory && !entry->is_link) subdirectories.push_back(entry->name);
    }
    if (search->failed()) fail("listing of " + path + " broke off");
  }  // closed before the removals and the descent change the directory
  for (const std::string& name : subdirectories) visit_entry(path, name);
}

void Sweeper::visit_entry(const std::string& parent_path, const std::string& name) {
  if (name == "." || name == "..") return;
  const std::string path = parent_path + platform::path_separator() + name;
  if (name == "_vti_cnf")
    remove_tree(path);
  else
    sweep_dir(path);
}

void Sweeper::remove_tree(const std::string& path) {
  auto command = platform::tree_removal_command(path);
  io_.out << (command ? *command : platform::tree_removal_line(path)) << '\n';
  if (command) {
    int status = io_.system.run_command(*command);
    if (status != 0) fail("removal of " + path + " ended with status " + std::to_string(status));
  } else {
    // The interpreter would change the path (a % that may expand): remove
    // the tree directly.
    std::string error;
    if (!io_.system.remove_tree(path, error)) fail("cannot remove " + path + ": " + error);
  }
  if (io_.system.find_first_entry(path)) fail(path + " is still there after its removal");
}

void Sweeper::fail(const std::string& message) {
  io_.err << "sweeper: " << message << '\n';
  ok_ = false;
}

}  // namespace sweeper
