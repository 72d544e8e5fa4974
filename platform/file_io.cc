#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <random>

#include "platform/signal_cleanup.h"

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace platform {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string reason() { return std::strerror(errno); }

class StdioFile : public OutputFile {
 public:
  explicit StdioFile(File file) : file_(std::move(file)) {}

  bool write(std::string_view bytes, std::string& error) override {
    if (file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) ==
                     bytes.size())
      return true;
    error = file_ ? reason() : "file already closed";
    return false;
  }

  bool close(std::string& error) override {
    if (!file_) return true;
    if (std::fclose(file_.release()) == 0) return true;
    error = reason();
    return false;
  }

 protected:
  File file_;
};

// Written beside its destination, and renamed over it once complete and on
// disk: the destination is never seen half written, nor emptied first.
class ReplacementFile : public StdioFile {
 public:
  ReplacementFile(File file, std::string temporary, std::string destination)
      : StdioFile(std::move(file)),
        temporary_(std::move(temporary)),
        destination_(std::move(destination)) {}
  ~ReplacementFile() override {
    if (file_) {
      file_.reset();
      discard();
    }
  }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  bool close(std::string& error) override {
    if (!file_) {
      error = "file already closed";
      return false;
    }
    bool ok = std::fflush(file_.get()) == 0 && to_disk(file_.get());
    if (!ok) error = reason();
    if (std::fclose(file_.release()) != 0 && ok) {
      ok = false;
      error = reason();
    }
    if (ok) ok = rename_over(error);
    if (ok)
      forget_on_signal(temporary_);
    else
      discard();
    return ok;
  }

 private:
  static bool to_disk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
  }

  bool rename_over(std::string& error) { return rename_replacing(temporary_, destination_, error); }

  void discard() {
    std::remove(temporary_.c_str());
    forget_on_signal(temporary_);
  }

  std::string temporary_;
  std::string destination_;
};

// A stream over a descriptor just opened (negative: the open failed); the
// descriptor is closed when no stream can be made.
File stream_of(int fd, const char* mode, std::string& error) {
  if (fd < 0) {
    error = reason();
    return nullptr;
  }
  File file(fdopen(fd, mode));
  if (!file) {
    error = reason();
#ifdef _WIN32
    _close(fd);
#else
    ::close(fd);
#endif
  }
  return file;
}

// Opens for reading without blocking on a FIFO, and only a regular file.
File open_regular_file(const std::string& path, std::string& error) {
  struct stat st;
#ifdef _WIN32
  // Windows refuses to open a directory as "access denied": say what it is.
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error = "it is a directory";
    return nullptr;
  }
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = reason();
    return nullptr;
  }
  const int fd = _fileno(file.get());
#else
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  File file = stream_of(fd, "rb", error);
  if (!file) return nullptr;
#endif
  if (fstat(fd, &st) != 0) {
    error = reason();
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? "it is a directory" : "it is not a regular file";
    return nullptr;
  }
#ifndef _WIN32
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
  return file;
}

}  // namespace

bool read_whole_file(const std::string& path, std::string& contents, std::string& error) {
  File file = open_regular_file(path, error);
  if (!file) return false;
  // Straight into a string of the file's size: no chunk copies.
  struct stat st;
  std::string data;
#ifdef _WIN32
  const int fd = _fileno(file.get());
#else
  const int fd = fileno(file.get());
#endif
  if (fstat(fd, &st) == 0 && st.st_size > 0) {
    // With room for a rewriting to grow it a little; room not used is
    // never touched, so it costs no memory.
    const size_t size = static_cast<size_t>(st.st_size);
    data.reserve(size + size / 16 + 4096);
    data.resize(size);
  }
  size_t got = std::fread(data.data(), 1, data.size(), file.get());
  data.resize(got);
  // A file that grew meanwhile is read to its end.
  char chunk[1 << 16];
  while (got == data.size() && !std::feof(file.get())) {
    const size_t more = std::fread(chunk, 1, sizeof chunk, file.get());
    if (more == 0) break;
    data.append(chunk, more);
    got = data.size();
  }
  if (std::ferror(file.get())) {
    error = reason();
    return false;
  }
  contents = std::move(data);
  return true;
}

std::unique_ptr<OutputFile> create_replacement_file(const std::string& path, std::string& error) {
  struct stat st;
#ifdef _WIN32
  const bool exists = stat(path.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    error = "it is a directory";
    return nullptr;
  }
  const size_t slash = path.find_last_of("/\\");
#else
  // A link is replaced, not followed; anything else but a file is refused.
  const bool exists = lstat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
    error = S_ISDIR(st.st_mode) ? "it is a directory" : "it is not a regular file";
    return nullptr;
  }
  const size_t slash = path.rfind('/');
#endif
  const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = path.substr(directory.size());
  // Created and registered for removal with no signal in between.
  SignalsHeld held;
#ifdef _WIN32
  std::random_device random;
  int fd = -1;
  std::string temporary;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = directory + "." + base + "." + std::to_string(random() % 1000000);
    fd = _open(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno != EEXIST) break;
  }
#else
  std::string temporary = directory + "." + base + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd >= 0) {
    fcntl(fd, F_SETFD, FD_CLOEXEC);
    // The mode the file has, or would get if created the usual way.
    mode_t mode = 0;
    if (exists && S_ISREG(st.st_mode)) {
      mode = st.st_mode & 07777;
    } else {
      const mode_t mask = umask(0);
      umask(mask);
      mode = 0666 & ~mask;
    }
    fchmod(fd, mode);
  }
#endif
  if (fd < 0) {
    error = reason();
    return nullptr;
  }
  remove_on_signal(temporary);
  File file = stream_of(fd, "wb", error);
  if (!file) {
    std::remove(temporary.c_str());
    forget_on_signal(temporary);
    return nullptr;
  }
  return std::make_unique<ReplacementFile>(std::move(file), std::move(temporary), path);
}

bool rename_replacing(const std::string& from, const std::string& to, std::string& error) {
#ifdef _WIN32
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  error = "cannot rename it (Windows error " + std::to_string(GetLastError()) + ")";
  return false;
#else
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  error = reason();
  return false;
#endif
}

bool make_directory(const std::string& path, std::string& error) {
#ifdef _WIN32
  if (_mkdir(path.c_str()) == 0) return true;
#else
  if (mkdir(path.c_str(), 0777) == 0) return true;
#endif
  error = reason();
  return false;
}

std::optional<std::string> make_temporary_directory(const std::string& parent,
                                                    const std::string& prefix, std::string& error) {
  const std::string stem =
      parent + (parent.empty() ? "" : std::string(1, path_separator())) + prefix;
  // Made and registered for removal with no signal in between.
  SignalsHeld held;
#ifdef _WIN32
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = stem + std::to_string(random() % 1000000);
    if (_mkdir(path.c_str()) == 0) {
      remove_on_signal(path);
      return path;
    }
    if (errno != EEXIST) break;
  }
#else
  std::string path = stem + "XXXXXX";
  if (mkdtemp(path.data())) {
    remove_on_signal(path);
    return path;
  }
#endif
  error = reason();
  return std::nullopt;
}

std::unique_ptr<OutputFile> create_new_stdio_file(const std::string& path, std::string& error) {
#ifdef _WIN32
  const int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, 0666);
#else
  // O_EXCL fails on any link, dangling ones too.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
#endif
  File file = stream_of(fd, "wb", error);
  if (!file) return nullptr;
  return std::make_unique<StdioFile>(std::move(file));
}

}  // namespace platform
