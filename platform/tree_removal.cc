#include "platform/tree_removal.h"

#include <vector>

#include "platform/system.h"

namespace platform {
namespace {

// Empties `dir`; true when nothing is left in it.
bool remove_contents(Directory& dir, const std::string& path, const RemovalFailure& failure) {
  std::vector<DirEntry> entries;
  std::string error;
  bool ok = dir.list(entries, error);
  if (!ok) failure(path, "cannot list: " + error);
  for (const DirEntry& entry : entries) {
    const std::string child = path + path_separator() + entry.name;
    if (entry.type == FileType::directory) {
      ok = remove_tree(dir, entry.name, child, failure) && ok;
    } else if (!dir.remove(entry.name, false, error)) {
      failure(child, error);
      ok = false;
    }
  }
  return ok;
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
  if (!remove_contents(*dir, path, failure)) return false;
  dir.reset();  // Windows removes no directory that is still open
  if (parent.remove(name, true, error)) return true;
  failure(path, error);
  return false;
}

}  // namespace platform
