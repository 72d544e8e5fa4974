#include "platform/system.h"

#include <ostream>

#include "platform/file_io.h"

namespace platform {

bool System::read_file(const std::string& path, std::string& contents,
                       std::string& error) {
  return read_whole_file(path, contents, error);
}

std::unique_ptr<OutputFile> System::create_new_file(const std::string& path, std::string& error) {
  return create_new_stdio_file(path, error);
}

std::unique_ptr<OutputFile> System::create_replacement(const std::string& path,
                                                       std::string& error) {
  return create_replacement_file(path, error);
}

bool System::rename_file(const std::string& from, const std::string& to, std::string& error) {
  return rename_replacing(from, to, error);
}

std::optional<std::string> System::create_temporary_directory(const std::string& parent,
                                                              const std::string& prefix,
                                                              std::string& error) {
  return make_temporary_directory(parent, prefix, error);
}

bool System::create_directory(const std::string& path, std::string& error) {
  return make_directory(path, error);
}

std::ostream& Io::error() const { return err << program << ": error: "; }

int Io::usage_error(const std::string& problem) const {
  err << program << ": " << problem << '\n' << "Try '" << program << " --help'.\n";
  return 2;
}

int Io::finish(int status) const {
  out.flush();
  if (out) return status;
  error() << "cannot write to standard output\n";
  return 1;
}

}  // namespace platform
