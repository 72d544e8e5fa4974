#include "sweeper/sweep.h"

#include <ostream>
#include <vector>

#include "platform/command_line.h"
#include "platform/tree_removal.h"

namespace sweeper {

bool Sweeper::sweep(const std::string& start) {
  std::string path = start, error;
  if (start.empty()) {
    auto current = io_.system.current_directory();
    if (!current) {
      fail("cannot read the current directory");
      return false;
    }
    path = *current;
  } else if (auto absolute = io_.system.absolute_path(start, error)) {
    path = *absolute;
  } else {
    fail("cannot sweep " + start + ": " + error);
    return false;
  }
  // By the absolute path, which every printed path starts from.
  auto dir = io_.system.open_directory(path, error);
  if (!dir) {
    fail("cannot sweep " + (start.empty() ? path : start) + ": " + error);
    return false;
  }
  sweep_dir(*dir, path);
  return ok_;
}

void Sweeper::sweep_dir(platform::Directory& dir, const std::string& path) {
  std::vector<platform::DirEntry> entries;
  std::string error;
  if (!dir.list(entries, error))
    fail("cannot list " + path + ": " + error +
         (entries.empty() ? "; skipped" : "; only what was listed is swept"));
  for (const platform::DirEntry& entry : entries) {
    // Links and junctions are never followed: no cycles, nothing outside.
    if (entry.type == platform::FileType::directory) visit_entry(dir, path, entry.name);
  }
}

void Sweeper::visit_entry(platform::Directory& parent, const std::string& parent_path,
                          const std::string& name) {
  const std::string path = parent_path + platform::path_separator() + name;
  if (name == "_vti_cnf") {
    remove_tree(parent, path, name);
    return;
  }
  std::string error;
  auto dir = parent.open(name, error);
  if (!dir) {
    fail("cannot enter " + path + ": " + error + "; skipped");
    return;
  }
  sweep_dir(*dir, path);
}

void Sweeper::remove_tree(platform::Directory& parent, const std::string& path,
                          const std::string& name) {
  auto command = platform::tree_removal_command(path);
  io_.out << (command ? *command : platform::tree_removal_line(path)) << '\n';
  if (options_.dry_run) return;
  if (command && io_.system.removes_trees_through_interpreter()) {
    int status = io_.system.run_command(*command);
    if (status != 0) fail("removal of " + path + " ended with status " + std::to_string(status));
    // rd's status does not tell whether the tree went.
    if (parent.contains(name)) fail(path + " is still there after its removal");
    return;
  }
  // In-process, the one way that cannot be led outside the tree; also
  // where the interpreter cannot be handed the path (a % that may expand).
  platform::remove_tree(parent, name, path,
                        [this](const std::string& what, const std::string& reason) {
                          fail("cannot remove " + what + ": " + reason);
                        });
}

void Sweeper::fail(const std::string& message) {
  io_.error() << message << '\n';
  ok_ = false;
}

}  // namespace sweeper
