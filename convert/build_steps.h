// The steps after the rewriting: compiling the converted class and
// packaging it into an executable jar. Each runs its commands inside the
// destination directory, leaves the current directory as it found it, runs
// whatever happened before it, and returns whether it succeeded.
#ifndef CONVERT_BUILD_STEPS_H
#define CONVERT_BUILD_STEPS_H

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "convert/jdk.h"
#include "platform/system.h"

namespace convert {

struct BuildOptions {
  // What javac is asked for in place of a class-file version.
  std::string class_version = std::string(kLegacyClassVersion);
  // An absolute directory holding the console library's class files, when
  // they are not in the destination directory.
  std::optional<std::string> library_directory;
  // An absolute directory holding the program's other sources: javac takes
  // what the program uses of them, and writes every class file into the
  // destination directory.
  std::optional<std::string> source_path;
  // The sources are in UTF-8 and have characters beyond ASCII: javac is
  // told, whatever the platform's charset.
  bool utf8 = false;
};

bool compile_class(platform::Io& io, const std::string& destination_class,
                   const std::string& destination_directory, const BuildOptions& options = {});

// The class files in a directory and in its package folders, by their
// paths from it ('/' between folders), as they are now.
using ClassFiles = std::map<std::string, platform::FileStamp>;
ClassFiles class_files(platform::System& system, const std::string& directory);

// The class files the compile of `destination_class` wrote, found by what
// it changed in the directory, not guessed from the source: its nested,
// local and anonymous classes, other classes of its file, classes javac
// compiled with it. Its own class file and the library's are left out, as
// the jar has them already. In byte order.
std::vector<std::string> program_classes(const ClassFiles& before, const ClassFiles& after,
                                         const std::string& destination_class);

// The manifest's path in the destination directory.
std::string manifest_path(const std::string& destination_directory);

// Writes Manifest.mf, naming the class as the program's entry, into the
// destination directory. Fails, writing nothing, when anything by that
// name (a link included) is already there.
bool write_manifest(platform::Io& io, const std::string& destination_class,
                    const std::string& destination_directory);

// Creates the jar from the manifest and the class, then adds the console
// library's six class files, found in the destination directory or in the
// library directory, then each of `more_classes`, one command each. A jar
// already there is moved aside meanwhile: when a command fails (a full
// disk), or a signal ends the program, it is put back as it was and the
// new one goes; when all succeed, it goes.
bool build_jar(platform::Io& io, const std::string& destination_class,
               const std::string& destination_directory, const BuildOptions& options = {},
               const std::vector<std::string>& more_classes = {});

// Removes the manifest write_manifest wrote.
bool remove_manifest(platform::Io& io, const std::string& destination_directory);

// The archive's name: the class with an upper-case ASCII first letter
// lowered, then ".jar".
std::string jar_name(const std::string& destination_class);

}  // namespace convert

#endif  // CONVERT_BUILD_STEPS_H
