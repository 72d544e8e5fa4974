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
