// File access through the C library, shared by both platforms: binary
// mode, so the bytes on disk are exactly the bytes given.
#ifndef PLATFORM_FILE_IO_H
#define PLATFORM_FILE_IO_H

#include <memory>
#include <optional>
#include <string>

#include "platform/system.h"

namespace platform {

bool read_whole_file(const std::string& path, std::string& contents, std::string& error);
std::unique_ptr<OutputFile> create_new_stdio_file(const std::string& path, std::string& error);
std::unique_ptr<OutputFile> create_replacement_file(const std::string& path, std::string& error);
bool make_directory(const std::string& path, std::string& error);
bool rename_replacing(const std::string& from, const std::string& to, std::string& error);
std::optional<std::string> make_temporary_directory(const std::string& parent,
                                                    const std::string& prefix, std::string& error);

}  // namespace platform

#endif  // PLATFORM_FILE_IO_H
