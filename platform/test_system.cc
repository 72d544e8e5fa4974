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

}  // namespace

int TestSystem::run_command(const std::string& command) {
  commands.push_back({current_directory().value_or("?"), command});
  return command_status ? command_status(command) : real_.run_command(command);
}

bool TestSystem::change_directory(const std::string& path) {
  return !unenterable.count(path) && real_.change_directory(path);
}

std::optional<std::string> TestSystem::current_directory() {
  return real_.current_directory();
}

std::unique_ptr<DirectorySearch> TestSystem::find_first_entry(const std::string& directory) {
  if (unlistable.count(directory)) return nullptr;
  return real_.find_first_entry(directory);
}

bool TestSystem::read_file(const std::string& path, std::string& contents,
                           std::string& error) {
  if (unreadable.count(path)) {
    error = "injected read failure";
    return false;
  }
  return real_.read_file(path, contents, error);
}

std::unique_ptr<OutputFile> TestSystem::create_file(const std::string& path,
                                                    std::string& error) {
  if (uncreatable.count(path)) {
    error = "injected create failure";
    return nullptr;
  }
  auto file = real_.create_file(path, error);
  if (file && unwritable.count(path)) return std::make_unique<FailingFile>(std::move(file));
  return file;
}

bool TestSystem::delete_file(const std::string& path, std::string& error) {
  return real_.delete_file(path, error);
}

bool TestSystem::remove_tree(const std::string& path, std::string& error) {
  return real_.remove_tree(path, error);
}

bool TestSystem::same_file(const std::string& a, const std::string& b) {
  return real_.same_file(a, b);
}

}  // namespace platform
