#include "platform/system.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

extern char** environ;

namespace platform {
namespace {

std::string reason() { return std::strerror(errno); }

FileType type_of(mode_t mode) {
  if (S_ISLNK(mode)) return FileType::link;
  if (S_ISDIR(mode)) return FileType::directory;
  if (S_ISREG(mode)) return FileType::regular;
  return FileType::other;
}

// Everything is reached relative to the held descriptor: openat with
// O_NOFOLLOW to descend, unlinkat to remove, so no path is resolved again.
class PosixDirectory : public Directory {
 public:
  explicit PosixDirectory(int fd) : fd_(fd) {}
  ~PosixDirectory() override { close(fd_); }
  PosixDirectory(const PosixDirectory&) = delete;
  PosixDirectory& operator=(const PosixDirectory&) = delete;

  bool list(std::vector<DirEntry>& entries, std::string& error) override {
    entries.clear();
    int fd = fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
    if (!dir) {
      error = reason();
      if (fd >= 0) close(fd);
      return false;
    }
    rewinddir(dir);  // the duplicate shares the offset of an earlier listing
    bool ok = true;
    for (;;) {
      errno = 0;
      dirent* d = readdir(dir);
      if (!d) {
        if (errno != 0) {
          ok = false;
          error = reason();
        }
        break;
      }
      if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) continue;
      DirEntry entry{d->d_name, FileType::other};
      switch (d->d_type) {
        case DT_DIR:
          entry.type = FileType::directory;
          break;
        case DT_LNK:
          entry.type = FileType::link;
          break;
        case DT_REG:
          entry.type = FileType::regular;
          break;
        case DT_UNKNOWN: {
          struct stat st;
          if (fstatat(fd_, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            entry.type = type_of(st.st_mode);
          } else if (errno == ENOENT) {
            continue;  // removed while listing
          } else {
            ok = false;  // without its type the entry cannot be judged safely
            error = reason();
            continue;
          }
          break;
        }
        default:
          break;
      }
      entries.push_back(std::move(entry));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return ok;
  }

  std::unique_ptr<Directory> open(const std::string& name, std::string& error) override {
    int fd = openat(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) return std::make_unique<PosixDirectory>(fd);
    if (errno != ELOOP && errno != ENOTDIR) {
      error = reason();
      return nullptr;
    }
    // Linux says ENOTDIR for a link; the message should say which it was.
    struct stat st;
    bool link = fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
    error = link ? "it is a link" : "it is not a directory";
    return nullptr;
  }

  bool remove(const std::string& name, bool directory, std::string& error) override {
    if (unlinkat(fd_, name.c_str(), directory ? AT_REMOVEDIR : 0) == 0) return true;
    error = reason();
    return false;
  }

  bool contains(const std::string& name) override {
    struct stat st;
    return fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  }

  std::optional<FileId> id() override {
    struct stat st;
    if (fstat(fd_, &st) != 0) return std::nullopt;
    return FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  }

  std::unique_ptr<Directory> open_parent(std::string& error) override {
    int fd = openat(fd_, "..", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) return std::make_unique<PosixDirectory>(fd);
    error = reason();
    return nullptr;
  }

 private:
  int fd_;
};

class PosixSystem : public System {
 public:
  std::optional<int> run_command(const std::string& command) override {
    std::cout.flush();
    std::fflush(nullptr);
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr,
                    const_cast<char* const*>(argv), environ) != 0)
      return std::nullopt;
    int status;
    while (waitpid(pid, &status, 0) < 0)
      if (errno != EINTR) return std::nullopt;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  }

  bool change_directory(const std::string& path, std::string& error) override {
    if (chdir(path.c_str()) == 0) return true;
    error = reason();
    return false;
  }

  std::optional<std::string> absolute_path(const std::string& path, std::string& error) override {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (resolved) return std::string(resolved.get());
    error = reason();
    return std::nullopt;
  }

  FileType file_type(const std::string& path) override {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? type_of(st.st_mode) : FileType::none;
  }

  // As /bin/sh searches: each PATH entry in turn, an empty one meaning the
  // current directory, the first executable regular file winning.
  std::optional<std::string> find_program(const std::string& name,
                                          const std::string& directory) override {
    std::string search;
    if (const char* path = std::getenv("PATH")) {
      search = path;
    } else {
      search.resize(confstr(_CS_PATH, nullptr, 0));
      confstr(_CS_PATH, search.data(), search.size());
      search.resize(std::strlen(search.c_str()));
    }
    size_t start = 0;
    for (;;) {
      size_t end = std::min(search.find(':', start), search.size());
      std::string dir = search.substr(start, end - start);
      if (dir.empty()) dir = ".";
      if (dir.front() != '/') dir = directory + "/" + dir;
      std::string candidate = dir + "/" + name;
      struct stat st;
      if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
          access(candidate.c_str(), X_OK) == 0) {
        std::string ignored;
        return absolute_path(candidate, ignored);
      }
      if (end == search.size()) return std::nullopt;
      start = end + 1;
    }
  }

  std::optional<FileStamp> stamp(const std::string& path) override {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                     static_cast<uint64_t>(st.st_size)};
  }

  // Linux names it in /proc; elsewhere it is not known.
  std::optional<std::string> executable_path() override {
    std::string ignored;
    return absolute_path("/proc/self/exe", ignored);
  }

  std::optional<std::string> current_directory() override {
    std::vector<char> buffer(4096);
    for (;;) {
      if (getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
      if (errno != ERANGE) return std::nullopt;
      buffer.resize(buffer.size() * 2);
    }
  }

  std::unique_ptr<Directory> open_directory(const std::string& path, std::string& error) override {
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      error = reason();
      return nullptr;
    }
    return std::make_unique<PosixDirectory>(fd);
  }

  bool delete_file(const std::string& path, std::string& error) override {
    if (unlink(path.c_str()) == 0) return true;
    error = reason();
    return false;
  }

  bool removes_trees_through_interpreter() const override { return false; }

  bool same_file(const std::string& a, const std::string& b) override {
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }
};

}  // namespace

System& real_system() {
  static PosixSystem system;
  return system;
}

char path_separator() { return '/'; }

bool reopen_closed_standard_streams() {
  bool output_closed = false;
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor: this one, as those below it are open.
    int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
    if (fd == 1) output_closed = true;
  }
  return output_closed;
}

}  // namespace platform
