// The operating-system boundary shared by all three programs: files,
// directories and the command interpreter. Logic code reaches the OS only
// through System, so tests can substitute a fake that records commands and
// injects failures.
#ifndef PLATFORM_SYSTEM_H
#define PLATFORM_SYSTEM_H

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/directory.h"

namespace platform {

// When a file last changed, and its size: enough to tell a file written
// anew from one left alone.
struct FileStamp {
  int64_t modified = 0;  // in nanoseconds, from whatever epoch
  uint64_t size = 0;
  bool operator==(const FileStamp& other) const {
    return modified == other.modified && size == other.size;
  }
};

// A file being written, in binary mode; closed when destroyed.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Both return false with the reason in `error` on failure.
  virtual bool write(std::string_view bytes, std::string& error) = 0;
  virtual bool close(std::string& error) = 0;
};

class System {
 public:
  virtual ~System() = default;

  // Runs one command line through the platform's command interpreter
  // (/bin/sh -c on POSIX, COMSPEC /c on Windows) in the current directory,
  // after flushing standard output. Returns the exit status (any value,
  // -1 included on Windows), or nullopt when the interpreter cannot be
  // started.
  virtual std::optional<int> run_command(const std::string& command) = 0;

  // False with the reason in `error` when the directory cannot be entered.
  virtual bool change_directory(const std::string& path, std::string& error) = 0;
  virtual std::optional<std::string> current_directory() = 0;

  // The absolute form of `path`, links resolved where the platform can;
  // nullopt with the reason when it does not exist.
  virtual std::optional<std::string> absolute_path(const std::string& path, std::string& error) = 0;

  virtual FileType file_type(const std::string& path) = 0;
  // nullopt when there is nothing at `path` (links not followed).
  virtual std::optional<FileStamp> stamp(const std::string& path) = 0;

  // The running program's own file, links resolved, so that what is
  // installed beside it can be found; nullopt when the platform cannot say.
  virtual std::optional<std::string> executable_path() = 0;

  // The file that the interpreter, run in `directory`, would start for the
  // command `name`, links resolved; nullopt when there is none.
  virtual std::optional<std::string> find_program(const std::string& name,
                                                  const std::string& directory) = 0;

  // Opens a directory to walk it (a link given here is followed); nullptr
  // with the reason when it cannot.
  virtual std::unique_ptr<Directory> open_directory(const std::string& path,
                                                    std::string& error) = 0;

  // Whole-file I/O in binary mode, through the C library on every
  // platform. On failure `error` receives the reason. Only regular files
  // are read: a FIFO or a device would block or never end.
  virtual bool read_file(const std::string& path, std::string& contents, std::string& error);
  // Creates a file that does not exist yet; fails when anything, a link
  // included, is already there, so it never writes through a link.
  virtual std::unique_ptr<OutputFile> create_new_file(const std::string& path, std::string& error);
  // A new version of `path`, written into a temporary file beside it; a
  // successful close() flushes it to disk and renames it over `path` in one
  // step (a link there is replaced, its target left alone). Until then, and
  // for good when anything fails or the file is dropped unclosed, `path`
  // stays as it was and the temporary file is removed, also when a signal
  // ends the program. nullptr with the reason when nothing can be created
  // there, or when `path` is a directory, a FIFO or a device.
  virtual std::unique_ptr<OutputFile> create_replacement(const std::string& path,
                                                         std::string& error);
  virtual bool delete_file(const std::string& path, std::string& error) = 0;
  // Renames `from` to `to`, replacing what is there, in one step.
  virtual bool rename_file(const std::string& from, const std::string& to, std::string& error);
  // A new, empty directory in `parent` named PREFIX and a few random
  // characters, removed if a signal ends the program while it is there
  // (its files must be registered too). Its path, or nullopt with the
  // reason.
  virtual std::optional<std::string> create_temporary_directory(const std::string& parent,
                                                                const std::string& prefix,
                                                                std::string& error);

  // Creates a directory where nothing is yet; false with the reason when
  // anything, a link included, is there already.
  virtual bool create_directory(const std::string& path, std::string& error);

  // Whether the sweeper hands each tree removal to the interpreter (rd on
  // Windows) rather than removing it in-process.
  virtual bool removes_trees_through_interpreter() const = 0;

  // Whether both paths name one existing file (links and aliases resolved).
  virtual bool same_file(const std::string& a, const std::string& b) = 0;
};

// The streams a program prints to, beside the system it acts on.
struct Io {
  System& system;
  std::ostream& out;
  std::ostream& err;
  std::string_view program;  // heads every line on `err`

  // `err`, after "PROGRAM: error: ".
  std::ostream& error() const;
  // Reports a usage problem and the way to help; returns status 2.
  int usage_error(const std::string& problem) const;
  // `status`, or 1 when standard output could not be written (reported).
  int finish(int status) const;
};

// The real operating system of the build's platform.
System& real_system();

// Opens the null device on each of descriptors 0, 1 and 2 that is closed,
// so that no file the program opens later becomes one of them (and gets
// its output). Returns whether standard output was closed. Called first
// thing by every program.
bool reopen_closed_standard_streams();

// Separator used when composing paths: '\\' on Windows, '/' elsewhere.
char path_separator();

}  // namespace platform

#endif  // PLATFORM_SYSTEM_H
