#include "convert/names.h"

#include "platform/system.h"

namespace convert {

std::string_view base_name(std::string_view path) {
  size_t last = path.find_last_of("/\\");
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::optional<Names> derive_names(std::string_view source_path,
                                  std::string_view destination_directory,
                                  std::string_view class_suffix) {
  Names names;
  names.source_class = base_name(source_path);
  if (names.source_class.empty()) return std::nullopt;
  names.source_file = std::string(source_path) + ".java";
  names.destination_class = names.source_class + std::string(class_suffix);
  names.destination_file = std::string(destination_directory) +
                           platform::path_separator() + names.destination_class +
                           ".java";
  return names;
}

}  // namespace convert
