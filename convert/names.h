#ifndef CONVERT_NAMES_H
#define CONVERT_NAMES_H

#include <optional>
#include <string>
#include <string_view>

namespace convert {

// The names a front end derives from its two arguments.
struct Names {
  std::string source_file;        // first argument + ".java"
  std::string source_class;       // base name of the first argument
  std::string destination_class;  // source class + suffix
  std::string destination_file;   // directory, separator, destination class + ".java"
};

// The part of `path` after its last '/' or '\\'; all of it when it has none.
std::string_view base_name(std::string_view path);

// nullopt when the first argument has no class name (it ends in a
// separator or is empty).
std::optional<Names> derive_names(std::string_view source_path,
                                  std::string_view destination_directory,
                                  std::string_view class_suffix);

}  // namespace convert

#endif  // CONVERT_NAMES_H
