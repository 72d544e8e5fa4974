#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
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

 private:
  File file_;
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
  std::string data;
  char chunk[1 << 16];
  for (;;) {
    size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    data.append(chunk, got);
    if (got < sizeof chunk) break;
  }
  if (std::ferror(file.get())) {
    error = reason();
    return false;
  }
  contents = std::move(data);
  return true;
}

std::unique_ptr<OutputFile> create_stdio_file(const std::string& path,
                                              std::string& error) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = reason();
    return nullptr;
  }
  return std::make_unique<StdioFile>(std::move(file));
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
