#include "platform/tree_removal.h"

#include <utility>
#include <vector>

#include "platform/system.h"
#include "platform/walk_stack.h"

namespace platform {
namespace {

struct Level {
  std::vector<std::string> subdirectories;  // still to empty, last first
  bool clean = true;                        // nothing failed in it so far
};

// Removes what in the top directory is not a directory, and lists its
// subdirectories.
Level remove_files(WalkStack& stack, const RemovalFailure& failure) {
  Level level;
  std::vector<DirEntry> entries;
  std::string error;
  if (!stack.top().list(entries, error)) {
    failure(stack.path(), "cannot list: " + error);
    level.clean = false;
  }
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (it->type == FileType::directory) {
      level.subdirectories.push_back(std::move(it->name));
    } else if (!stack.top().remove(it->name, false, error)) {
      failure(stack.child_path(it->name), error);
      level.clean = false;
    }
  }
  return level;
}

// Empties the start of `stack`, bottom up, without recursion: depth costs
// no more than a path and a level each. True when nothing is left in it.
bool remove_contents(WalkStack& stack, const RemovalFailure& failure) {
  std::vector<Level> levels;
  levels.push_back(remove_files(stack, failure));
  for (;;) {
    Level& level = levels.back();
    if (!level.subdirectories.empty()) {
      const std::string name = std::move(level.subdirectories.back());
      level.subdirectories.pop_back();
      std::string error;
      if (stack.push(name, error)) {
        levels.push_back(remove_files(stack, failure));
      } else {
        failure(stack.child_path(name), error);
        level.clean = false;
      }
      continue;
    }
    if (levels.size() == 1) return level.clean;
    // Emptied (unless something below failed, already reported): it goes.
    const bool clean = level.clean;
    const std::string name = stack.name();
    levels.pop_back();
    std::string lost, error;
    const size_t left = stack.pop(lost, error);
    if (left > 1) {
      failure(lost, "cannot go back up to it: " + error);
      levels.resize(levels.size() + 1 - left);
      levels.back().clean = false;
      continue;
    }
    if (!clean) {
      levels.back().clean = false;
    } else if (!stack.top().remove(name, true, error)) {
      failure(stack.child_path(name), error);
      levels.back().clean = false;
    }
  }
}

}  // namespace

bool remove_tree(Directory& parent, const std::string& name, const std::string& path,
                 const RemovalFailure& failure) {
  std::string error;
  auto dir = parent.open(name, error);
  if (!dir) {
    failure(path, error);
    return false;
  }
  bool clean;
  {
    WalkStack stack(std::move(dir), path);
    clean = remove_contents(stack, failure);
  }  // every directory of the walk closed: Windows removes no open one
  if (!clean) return false;
  if (parent.remove(name, true, error)) return true;
  failure(path, error);
  return false;
}

}  // namespace platform
