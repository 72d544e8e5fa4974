#include "convert/console_library.h"

#include <algorithm>

namespace convert {

bool is_library_class_file(std::string_view file) {
  constexpr std::string_view suffix = ".class";
  if (file.size() <= suffix.size() || file.substr(file.size() - suffix.size()) != suffix)
    return false;
  file.remove_suffix(suffix.size());
  return std::find(kLibraryClasses.begin(), kLibraryClasses.end(), file) != kLibraryClasses.end();
}

std::optional<std::string> missing_library_file(platform::System& system,
                                                const std::string& directory) {
  for (std::string_view name : kLibraryClasses) {
    std::string file = std::string(name) + ".class";
    // A link counts: jar and javac follow it.
    auto type = system.file_type(directory + platform::path_separator() + file);
    if (type != platform::FileType::regular && type != platform::FileType::link) return file;
  }
  return std::nullopt;
}

std::optional<std::string> installed_library(platform::System& system) {
  auto executable = system.executable_path();
  if (!executable) return std::nullopt;
  const size_t separator = executable->find_last_of("/\\");
  if (separator == std::string::npos) return std::nullopt;
  const std::string bin = executable->substr(0, separator + 1);
  const char s = platform::path_separator();
  for (const std::string& relative :
       {std::string("..") + s + "share" + s + "consoletools" + s + "console",
        std::string("console")}) {
    std::string error;
    auto directory = system.absolute_path(bin + relative, error);
    if (directory && !missing_library_file(system, *directory)) return directory;
  }
  return std::nullopt;
}

}  // namespace convert
