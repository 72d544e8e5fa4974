#include "platform/system.h"

namespace platform {

bool System::write_file(const std::string& path, std::string_view contents,
                        std::string& error) {
  auto file = create_file(path, error);
  return file && file->write(contents, error) && file->close(error);
}

}  // namespace platform
