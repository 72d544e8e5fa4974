#include "platform/test_system.h"

namespace platform {
namespace {

class FailingFile : public OutputFile {
 public:
  explicit FailingFile(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}
  bool write(std::string_view, std::string& error) override {
    error = "injected write failure";
    return false;
  }
  bool close(std::string& error) override { return file_->close(error); }

 private:
  std::unique_ptr<OutputFile> file_;
};

// A real directory, failing where the test system says, known by the path
// its walk composed.
class TestDirectory : public Directory {
 public:
  TestDirectory(TestSystem& system, std::unique_ptr<Directory> real, std::string path)
      : system_(system), real_(std::move(real)), path_(std::move(path)) {}

  bool list(std::vector<DirEntry>& entries, std::string& error) override {
    if (system_.unlistable.count(path_)) {
      entries.clear();
      error = "injected listing failure";
      return false;
    }
    return real_->list(entries, error);
  }

  std::unique_ptr<Directory> open(const std::string& name, std::string& error) override {
    const std::string path = child(name);
    if (system_.before_open) system_.before_open(path);
    if (system_.unenterable.count(path)) {
      error = "injected open failure";
      return nullptr;
    }
    auto dir = real_->open(name, error);
    if (!dir) return nullptr;
    return std::make_unique<TestDirectory>(system_, std::move(dir), path);
  }

  bool remove(const std::string& name, bool directory, std::string& error) override {
    if (system_.undeletable.count(child(name))) {
      error = "injected removal failure";
      return false;
    }
    return real_->remove(name, directory, error);
  }

  bool contains(const std::string& name) override { return real_->contains(name); }

  std::optional<FileId> id() override { return real_->id(); }

  std::unique_ptr<Directory> open_parent(std::string& error) override {
    auto dir = real_->open_parent(error);
    if (!dir) return nullptr;
    const size_t separator = path_.find_last_of(path_separator());
    return std::make_unique<TestDirectory>(
        system_, std::move(dir),
        separator == std::string::npos ? path_ : path_.substr(0, separator));
  }

 private:
  std::string child(const std::string& name) const { return path_ + path_separator() + name; }

  TestSystem& system_;
  std::unique_ptr<Directory> real_;
  std::string path_;
};

}  // namespace

std::optional<int> TestSystem::run_command(const std::string& command) {
  commands.push_back({current_directory().value_or("?"), command});
  return command_status ? command_status(command) : real_.run_command(command);
}

bool TestSystem::change_directory(const std::string& path, std::string& error) {
  if (unenterable.count(path)) {
    error = "injected failure";
    return false;
  }
  return real_.change_directory(path, error);
}

std::optional<std::string> TestSystem::current_directory() {
  return real_.current_directory();
}

std::optional<std::string> TestSystem::absolute_path(const std::string& path, std::string& error) {
  return real_.absolute_path(path, error);
}

FileType TestSystem::file_type(const std::string& path) { return real_.file_type(path); }

std::optional<FileStamp> TestSystem::stamp(const std::string& path) { return real_.stamp(path); }

std::optional<std::string> TestSystem::executable_path() {
  return executable ? *executable : real_.executable_path();
}

std::optional<std::string> TestSystem::find_program(const std::string& name,
                                                    const std::string& directory) {
  if (auto it = programs.find(name); it != programs.end()) return it->second;
  return real_.find_program(name, directory);
}

std::unique_ptr<Directory> TestSystem::open_directory(const std::string& path, std::string& error) {
  if (unenterable.count(path)) {
    error = "injected open failure";
    return nullptr;
  }
  auto dir = real_.open_directory(path, error);
  if (!dir) return nullptr;
  return std::make_unique<TestDirectory>(*this, std::move(dir), path);
}

bool TestSystem::read_file(const std::string& path, std::string& contents,
                           std::string& error) {
  if (unreadable.count(path)) {
    error = "injected read failure";
    return false;
  }
  return real_.read_file(path, contents, error);
}

std::unique_ptr<OutputFile> TestSystem::create_new_file(const std::string& path,
                                                        std::string& error) {
  return injected(uncreatable.count(path) ? nullptr : real_.create_new_file(path, error), path,
                  error);
}

std::unique_ptr<OutputFile> TestSystem::create_replacement(const std::string& path,
                                                           std::string& error) {
  return injected(uncreatable.count(path) ? nullptr : real_.create_replacement(path, error), path,
                  error);
}

std::unique_ptr<OutputFile> TestSystem::injected(std::unique_ptr<OutputFile> file,
                                                 const std::string& path, std::string& error) {
  if (uncreatable.count(path)) error = "injected create failure";
  if (file && unwritable.count(path)) return std::make_unique<FailingFile>(std::move(file));
  return file;
}

bool TestSystem::delete_file(const std::string& path, std::string& error) {
  return real_.delete_file(path, error);
}

bool TestSystem::removes_trees_through_interpreter() const {
  return interpreter_removes_trees.value_or(real_.removes_trees_through_interpreter());
}

bool TestSystem::same_file(const std::string& a, const std::string& b) {
  return real_.same_file(a, b);
}

}  // namespace platform
