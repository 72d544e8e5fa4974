#include "platform/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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

}  // namespace

bool read_whole_file(const std::string& path, std::string& contents,
                     std::string& error) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = reason();
    return false;
  }
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

}  // namespace platform
