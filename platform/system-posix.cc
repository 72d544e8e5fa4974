#include "platform/system.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <iostream>
#include <vector>

#include "platform/listing.h"

extern char** environ;

namespace platform {
namespace {

class PosixSystem : public System {
 public:
  int run_command(const std::string& command) override {
    std::cout.flush();
    std::fflush(nullptr);
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr,
                    const_cast<char* const*>(argv), environ) != 0)
      return -1;
    int status;
    while (waitpid(pid, &status, 0) < 0)
      if (errno != EINTR) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  }

  bool change_directory(const std::string& path, std::string& error) override {
    if (chdir(path.c_str()) == 0) return true;
    error = std::strerror(errno);
    return false;
  }

  std::optional<std::string> absolute_path(const std::string& path,
                                           std::string& error) override {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (resolved) return std::string(resolved.get());
    error = std::strerror(errno);
    return std::nullopt;
  }

  FileType file_type(const std::string& path) override {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return FileType::none;
    if (S_ISLNK(st.st_mode)) return FileType::link;
    if (S_ISDIR(st.st_mode)) return FileType::directory;
    if (S_ISREG(st.st_mode)) return FileType::regular;
    return FileType::other;
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

  std::optional<std::string> current_directory() override {
    std::vector<char> buffer(4096);
    for (;;) {
      if (getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
      if (errno != ERANGE) return std::nullopt;
      buffer.resize(buffer.size() * 2);
    }
  }

  std::unique_ptr<DirectorySearch> find_first_entry(
      const std::string& directory) override {
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    DIR* dir = fdopendir(fd);
    if (!dir) {
      close(fd);
      return nullptr;
    }
    std::vector<DirEntry> entries;
    bool failed = false;
    for (;;) {
      errno = 0;
      dirent* d = readdir(dir);
      if (!d) {
        failed = errno != 0;
        break;
      }
      if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
        continue;
      DirEntry entry;
      entry.name = d->d_name;
      struct stat st;
      if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        entry.is_link = S_ISLNK(st.st_mode);
        entry.is_directory = S_ISDIR(st.st_mode);
      } else if (errno != ENOENT) {
        // Without its type the entry cannot be judged safely.
        failed = true;
        continue;
      } else {
        continue;  // removed while listing
      }
      entries.push_back(std::move(entry));
    }
    closedir(dir);
    return sorted_listing(std::move(entries), failed);
  }

  bool delete_file(const std::string& path, std::string& error) override {
    if (unlink(path.c_str()) == 0) return true;
    error = std::strerror(errno);
    return false;
  }

  bool remove_tree(const std::string& path, std::string& error) override {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) {
      error = std::strerror(errno);
      return false;
    }
    if (S_ISDIR(st.st_mode)) {
      auto search = find_first_entry(path);
      if (!search) {
        error = std::strerror(errno);
        return false;
      }
      bool ok = !search->failed();
      while (auto entry = search->find_next_entry())
        ok = remove_tree(path + "/" + entry->name, error) && ok;
      if (rmdir(path.c_str()) != 0) {
        error = std::strerror(errno);
        return false;
      }
      return ok;
    }
    return delete_file(path, error);
  }

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

}  // namespace platform
