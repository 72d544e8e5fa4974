#ifndef CONVERT_CONVERT_SOURCE_H
#define CONVERT_CONVERT_SOURCE_H

#include <optional>
#include <string>

#include "java/features.h"
#include "platform/system.h"

namespace convert {

// Prints the four header lines, reads the source file, rewrites it and
// writes the result to the destination file, which is replaced only once
// the result is complete (a directory, FIFO or device there is refused).
// On failure prints "Probleme!!!", explains on the error stream and returns
// false; the destination is then left as it was, and a source is never
// overwritten. Out of memory throws std::bad_alloc, the destination as it
// was.
struct ConvertOptions {
  // Token by token, for other layouts (see lenient.h); else the byte
  // patterns of the one layout, with notes on stderr where the source
  // strays from it.
  bool lenient = false;
  // With lenient, the packager's way: the program's classes keep their
  // names and the destination class is a launcher (see lenient.h).
  bool launcher = false;
};

struct ConvertResult {
  bool ok = false;
  // What of the source needs the newest Java, when newer than Java 8.
  std::optional<java::LanguageFeature> newest_feature;
  // The source's package ("" for the unnamed one).
  std::string package;
  // Why it cannot be compiled with the console library: a class of its
  // own named like one of the library's.
  std::optional<std::string> library_clash;
  // With lenient, a program in a package: it is compiled as written, from
  // its source tree, and the destination holds only a launcher.
  bool launches_package = false;
  // What was written has bytes outside ASCII, in UTF-8.
  bool non_ascii = false;
  explicit operator bool() const { return ok; }
};

ConvertResult convert_source(platform::Io& io, const std::string& source_file,
                             const std::string& destination_file, const std::string& source_class,
                             const std::string& destination_class,
                             const ConvertOptions& options = {});

}  // namespace convert

#endif  // CONVERT_CONVERT_SOURCE_H
