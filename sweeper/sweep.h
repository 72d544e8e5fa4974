// The walk that removes every directory named "_vti_cnf" below a start
// directory: depth first, in byte order of the names, a directory's
// listing complete before any of its subdirectories is visited. Every
// entry is reached through its open parent, and links are never followed,
// so nothing outside the tree can be reached.
#ifndef SWEEPER_SWEEP_H
#define SWEEPER_SWEEP_H

#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/walk_stack.h"

namespace sweeper {

struct Options {
  bool dry_run = false;  // print the removal lines, remove nothing
};

class Sweeper {
 public:
  Sweeper(platform::Io& io, Options options) : io_(io), options_(options) {}

  // Sweeps below `start`, or below the current directory when it is empty;
  // the start itself is never removed. False when the start could not be
  // opened, a directory could not be entered or listed, or a removal
  // failed.
  bool sweep(const std::string& start);

 private:
  void walk(platform::WalkStack&& stack);
  std::vector<std::string> subdirectories(platform::WalkStack& stack);
  void remove_tree(platform::Directory& parent, const std::string& path, const std::string& name);
  void fail(const std::string& message);

  platform::Io& io_;
  Options options_;
  bool ok_ = true;
};

}  // namespace sweeper

#endif  // SWEEPER_SWEEP_H
