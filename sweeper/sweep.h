// The walk that removes every directory named "_vti_cnf" below a start
// directory: depth first, in listing order, a directory's listing complete
// before any of its subdirectories is visited.
#ifndef SWEEPER_SWEEP_H
#define SWEEPER_SWEEP_H

#include <string>

#include "platform/system.h"

namespace sweeper {

class Sweeper {
 public:
  explicit Sweeper(platform::Io& io) : io_(io) {}

  // Sweeps below the current directory, which is itself never removed.
  // False when the start could not be read, a directory could not be
  // entered or listed, or a removal failed.
  bool sweep();

  void sweep_dir(const std::string& path);
  void visit_entry(const std::string& parent_path, const std::string& name);
  void remove_tree(const std::string& path);

  bool ok() const { return ok_; }

 private:
  void fail(const std::string& message);

  platform::Io& io_;
  bool ok_ = true;
};

}  // namespace sweeper

#endif  // SWEEPER_SWEEP_H
