// A program's other source files: the .java files beside the one
// converted, which its compile may need, and what would keep them from
// being compiled with the console library.
#ifndef CONVERT_PROGRAM_SOURCES_H
#define CONVERT_PROGRAM_SOURCES_H

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/note.h"
#include "platform/system.h"

namespace java {
struct Program;
}

namespace convert {

struct OtherSources {
  std::string directory;           // the source's folder, absolute
  std::vector<std::string> files;  // the other .java files there, by name, in byte order
  bool empty() const { return files.empty(); }
};

// The regular .java files beside `source_file`, but for it and for
// `destination_file`.
OtherSources other_sources(platform::System& system, const std::string& source_file,
                           const std::string& destination_file);

// Why the program cannot be compiled with the console library: a class of
// `program` (but for `renamed`, the class the converter renames) named like
// one of the library's six, which would take its place. The error's text,
// naming `file` and the line; nullopt when there is none.
std::optional<std::string> library_clash(const java::Program& program, const std::string& file,
                                         std::string_view renamed);
// The same for the other files: one named like a library class, or
// declaring such a class.
std::optional<std::string> library_clash(platform::System& system, const OtherSources& others);

// Copies of the program's files of package `package` (the converted one's
// original among them), each with its package declaration gone and its
// lines where they were, in a temporary folder inside the destination, for
// the compile to find them in the unnamed package: the user's files are
// never touched. The folder goes when this does, and on a signal.
class SourceCopies {
 public:
  // nullptr (reported) when the copies cannot be made. `source_file` is
  // the converted file's original.
  static std::unique_ptr<SourceCopies> make(platform::Io& io, const OtherSources& others,
                                            const std::string& source_file,
                                            const std::string& package,
                                            const std::string& destination_directory);
  ~SourceCopies();
  SourceCopies(const SourceCopies&) = delete;
  SourceCopies& operator=(const SourceCopies&) = delete;

  const std::string& directory() const { return directory_; }
  // How many of the other files are copied.
  size_t others_copied() const { return others_copied_; }

 private:
  explicit SourceCopies(platform::Io& io) : io_(io) {}
  bool copy(const std::string& from, const std::string& package, bool other, std::string& error);

  platform::Io& io_;
  std::string directory_;
  std::vector<std::string> files_;
  size_t others_copied_ = 0;
};

// When the file holds no class of its name, which the converters take the
// class name from, a note naming the class it holds, in either mode.
std::optional<Note> class_named_otherwise(const java::Program& program,
                                          std::string_view source_class);

// `text` with its package declaration gone, the line ends in it kept.
std::string without_package(std::string_view text, const java::Program& program);

}  // namespace convert

#endif  // CONVERT_PROGRAM_SOURCES_H
