#include "sweeper/sweep.h"

#include <ostream>
#include <vector>

#include "platform/command_line.h"
#include "platform/tree_removal.h"
#include "platform/walk_stack.h"

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
  walk(platform::WalkStack(std::move(dir), path));
  return ok_;
}

// Depth first without recursion, each directory's listing taken whole
// before any of its subdirectories is visited: the walk costs a path and
// the pending names of each level, whatever its depth.
void Sweeper::walk(platform::WalkStack&& stack) {
  std::vector<std::vector<std::string>> pending;  // per level, last first
  pending.push_back(subdirectories(stack));
  while (!pending.empty()) {
    if (pending.back().empty()) {
      pending.pop_back();
      if (pending.empty()) break;
      std::string lost, error;
      const size_t left = stack.pop(lost, error);
      if (left > 1) {
        fail("cannot go back up to " + lost + ": " + error + "; the rest of it is not swept");
        pending.resize(pending.size() + 1 - left);
      }
      continue;
    }
    const std::string name = std::move(pending.back().back());
    pending.back().pop_back();
    if (name == "_vti_cnf") {
      remove_tree(stack.top(), stack.child_path(name), name);
      continue;
    }
    std::string error;
    if (!stack.push(name, error)) {
      fail("cannot enter " + stack.child_path(name) + ": " + error + "; skipped");
      continue;
    }
    pending.push_back(subdirectories(stack));
  }
}

std::vector<std::string> Sweeper::subdirectories(platform::WalkStack& stack) {
  std::vector<platform::DirEntry> entries;
  std::string error;
  if (!stack.top().list(entries, error))
    fail("cannot list " + stack.path() + ": " + error +
         (entries.empty() ? "; skipped" : "; only what was listed is swept"));
  std::vector<std::string> names;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    // Links and junctions are never followed: no cycles, nothing outside.
    if (it->type == platform::FileType::directory) names.push_back(std::move(it->name));
  }
  return names;
}

void Sweeper::remove_tree(platform::Directory& parent, const std::string& path,
                          const std::string& name) {
  auto command = platform::tree_removal_command(path);
  io_.out << (command ? *command : platform::tree_removal_line(path)) << '\n';
  if (options_.dry_run) return;
  if (command && io_.system.removes_trees_through_interpreter()) {
    const std::optional<int> status = io_.system.run_command(*command);
    if (!status)
      fail("cannot start the command interpreter to remove " + path);
    else if (*status != 0)
      fail("removal of " + path + " ended with status " + std::to_string(*status));
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
