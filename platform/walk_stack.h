// The directories from a walk's start down to where it stands, for walks of
// any depth at a cost linear in it: one path that grows and shrinks with the
// walk, and only the start and the last few directories held open. One let
// go of is opened again through its child's "..", never a link, and must
// prove to be the same directory.
#ifndef PLATFORM_WALK_STACK_H
#define PLATFORM_WALK_STACK_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/directory.h"

namespace platform {

class WalkStack {
 public:
  // Directories held open besides the start; deeper walks let go of the
  // ones above.
  static constexpr size_t kHeld = 8;

  WalkStack(std::unique_ptr<Directory> start, std::string path);

  // 0 at the start.
  size_t depth() const { return levels_.size() - 1; }
  // The directory where the walk stands, open.
  Directory& top() { return *levels_.back().dir; }
  // Its path, and its name (empty at the start).
  const std::string& path() const { return path_; }
  std::string name() const;
  // The path of an entry of the top directory.
  std::string child_path(const std::string& name) const;

  // Steps into the subdirectory `name` of the top one, without following a
  // link; false with the reason, the walk where it was, when it cannot.
  bool push(const std::string& name, std::string& error);

  // Steps back up to the parent of the top directory. Returns the number of
  // levels left: 1, unless a directory let go of could not be opened again
  // as itself; the walk then stands at the nearest one still held, and
  // `lost` and `error` say which and why.
  size_t pop(std::string& lost, std::string& error);

 private:
  struct Level {
    std::unique_ptr<Directory> dir;  // null once let go of
    std::optional<FileId> id;
    size_t path_length;
  };

  std::vector<Level> levels_;
  std::string path_;
};

}  // namespace platform

#endif  // PLATFORM_WALK_STACK_H
