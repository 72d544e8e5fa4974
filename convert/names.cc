#include "convert/names.h"

#include "convert/rewrite.h"
#include "platform/system.h"

namespace convert {

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
