#include "platform/walk_stack.h"

#include "platform/system.h"

namespace platform {

WalkStack::WalkStack(std::unique_ptr<Directory> start, std::string path) : path_(std::move(path)) {
  auto id = start->id();
  levels_.push_back({std::move(start), id, path_.size()});
}

std::string WalkStack::name() const {
  if (levels_.size() < 2) return "";
  return path_.substr(levels_[levels_.size() - 2].path_length + 1);
}

std::string WalkStack::child_path(const std::string& name) const {
  return path_ + path_separator() + name;
}

bool WalkStack::push(const std::string& name, std::string& error) {
  auto dir = top().open(name, error);
  if (!dir) return false;
  auto id = dir->id();
  path_ += path_separator();
  path_ += name;
  levels_.push_back({std::move(dir), id, path_.size()});
  // Let go of the one that just left the held window (never the start).
  if (levels_.size() > kHeld + 1) levels_[levels_.size() - 1 - kHeld].dir.reset();
  return true;
}

size_t WalkStack::pop(std::string& lost, std::string& error) {
  std::unique_ptr<Directory> child = std::move(levels_.back().dir);
  levels_.pop_back();
  path_.resize(levels_.back().path_length);
  Level& parent = levels_.back();
  if (parent.dir) return 1;
  parent.dir = child->open_parent(error);
  if (parent.dir && parent.id && !(parent.dir->id() == parent.id)) {
    parent.dir.reset();
    error = "it was moved or replaced during the walk";
  }
  if (parent.dir) return 1;
  lost = path_;
  size_t left = 1;
  while (!levels_.back().dir) {
    levels_.pop_back();
    ++left;
  }
  path_.resize(levels_.back().path_length);
  return left;
}

}  // namespace platform
