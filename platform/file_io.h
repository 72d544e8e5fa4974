// File access through the C library, shared by both platforms: binary
// mode, so the bytes on disk are exactly the bytes given.
#ifndef PLATFORM_FILE_IO_H
#define PLATFORM_FILE_IO_H

#include <memory>
#include <string>

#include "platform/system.h"

namespace platform {

bool read_whole_file(const std::string& path, std::string& contents, std::string& error);
std::unique_ptr<OutputFile> create_new_stdio_file(const std::string& path, std::string& error);
std::unique_ptr<OutputFile> create_replacement_file(const std::string& path, std::string& error);

}  // namespace platform

#endif  // PLATFORM_FILE_IO_H
