// An open directory whose entries are reached by name through it, never by
// a path composed again from the top: on POSIX a held descriptor, so an
// entry swapped for a link during a walk is seen as a link, not followed.
#ifndef PLATFORM_DIRECTORY_H
#define PLATFORM_DIRECTORY_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What a path names, links not followed.
enum class FileType { none, regular, directory, link, other };

// What tells one directory from another, wherever it is reached from.
struct FileId {
  uint64_t device = 0;
  uint64_t file = 0;
  bool operator==(const FileId& other) const {
    return device == other.device && file == other.file;
  }
};

struct DirEntry {
  std::string name;
  FileType type = FileType::other;  // links (and junctions) are links
};

class Directory {
 public:
  virtual ~Directory() = default;

  // Fills `entries` with the entries, "." and ".." left out, in byte order
  // of their names so that runs are reproducible. False with the reason
  // when the listing failed or broke off (what was read is kept).
  virtual bool list(std::vector<DirEntry>& entries, std::string& error) = 0;

  // The subdirectory `name`, opened without following a link: nullptr
  // with the reason when it is a link or no directory (any more).
  virtual std::unique_ptr<Directory> open(const std::string& name, std::string& error) = 0;

  // Removes the entry `name`: a file or a link (never followed) or, with
  // `directory`, an empty directory.
  virtual bool remove(const std::string& name, bool directory, std::string& error) = 0;

  // Whether an entry `name` is there.
  virtual bool contains(const std::string& name) = 0;

  // Its identity; nullopt when it cannot be read.
  virtual std::optional<FileId> id() = 0;

  // The directory this one is in (its "..", never a link), so that a deep
  // walk can let go of the directories above it and come back to them.
  virtual std::unique_ptr<Directory> open_parent(std::string& error) = 0;
};

}  // namespace platform

#endif  // PLATFORM_DIRECTORY_H
