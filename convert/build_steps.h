// The steps after the rewriting: compiling the converted class and
// packaging it into an executable jar. Each runs its commands inside the
// destination directory, leaves the current directory as it found it, runs
// whatever happened before it, and returns whether it succeeded.
#ifndef CONVERT_BUILD_STEPS_H
#define CONVERT_BUILD_STEPS_H

#include <string>

#include "platform/system.h"

namespace convert {

bool compile_class(platform::Io& io, const std::string& destination_class,
                   const std::string& destination_directory);

// Writes Manifest.mf, naming the class as the program's entry, into the
// destination directory.
bool write_manifest(platform::Io& io, const std::string& destination_class,
                    const std::string& destination_directory);

// Creates the jar from the manifest and the class, then adds the console
// library's six class files, which must lie in the destination directory.
bool build_jar(platform::Io& io, const std::string& destination_class,
               const std::string& destination_directory);

bool remove_manifest(platform::Io& io, const std::string& destination_class,
                     const std::string& destination_directory);

// The archive's name: the class with an upper-case ASCII first letter
// lowered, then ".jar".
std::string jar_name(const std::string& destination_class);

}  // namespace convert

#endif  // CONVERT_BUILD_STEPS_H
