// The steps after the rewriting: compiling the converted class and
// packaging it into an executable jar. Each runs its commands inside the
// destination directory, leaves the current directory as it found it, runs
// whatever happened before it, and returns whether it succeeded.
#ifndef CONVERT_BUILD_STEPS_H
#define CONVERT_BUILD_STEPS_H

#include <optional>
#include <string>

#include "convert/jdk.h"
#include "platform/system.h"

namespace convert {

struct BuildOptions {
  // What javac is asked for in place of a class-file version.
  std::string class_version = std::string(kLegacyClassVersion);
  // An absolute directory holding the console library's class files, when
  // they are not in the destination directory.
  std::optional<std::string> library_directory;
};

bool compile_class(platform::Io& io, const std::string& destination_class,
                   const std::string& destination_directory, const BuildOptions& options = {});

// The manifest's path in the destination directory.
std::string manifest_path(const std::string& destination_directory);

// Writes Manifest.mf, naming the class as the program's entry, into the
// destination directory. Fails, writing nothing, when anything by that
// name (a link included) is already there.
bool write_manifest(platform::Io& io, const std::string& destination_class,
                    const std::string& destination_directory);

// Creates the jar from the manifest and the class, then adds the console
// library's six class files, found in the destination directory or in the
// library directory.
bool build_jar(platform::Io& io, const std::string& destination_class,
               const std::string& destination_directory, const BuildOptions& options = {});

bool remove_manifest(platform::Io& io, const std::string& destination_class,
                     const std::string& destination_directory);

// The archive's name: the class with an upper-case ASCII first letter
// lowered, then ".jar".
std::string jar_name(const std::string& destination_class);

}  // namespace convert

#endif  // CONVERT_BUILD_STEPS_H
