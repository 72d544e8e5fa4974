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

// Copies of some of the program's files, in UTF-8, in a temporary folder
// inside the destination, at the paths their packages give them, for the
// compile: the user's files are never touched. The folder goes when this
// does, and on a signal.
class SourceCopies {
 public:
  // nullptr (reported) when the folder cannot be made.
  static std::unique_ptr<SourceCopies> make(platform::Io& io,
                                            const std::string& destination_directory);
  ~SourceCopies();
  SourceCopies(const SourceCopies&) = delete;
  SourceCopies& operator=(const SourceCopies&) = delete;

  // `text` as the file `relative` (folders parted by the platform's
  // separator) below the folder, its folders made as needed.
  bool add(const std::string& relative, std::string_view text, std::string& error);
  const std::string& directory() const { return directory_; }

 private:
  explicit SourceCopies(platform::Io& io) : io_(io) {}

  platform::Io& io_;
  std::string directory_;
  std::vector<std::string> made_;  // files and folders, in the order made
};

// What javac is given, with --lenient, to find the program's other
// classes: the source tree they are in, and the encoding they are read in.
struct ProgramSources {
  std::optional<std::string> source_path;  // javac's -sourcepath, when there is one
  bool utf8 = false;                       // -encoding UTF-8: a file has bytes beyond ASCII
  std::unique_ptr<SourceCopies> copies;    // where files had to be copied
};

// The program's files that the compile of `source_file`, in `package`
// ("" for the unnamed one), may need. In a package, its source root is
// the folder its package's path starts from: the files of the package, and
// of every package they import from the tree, with the files those
// import, go on the source path, the converted file's original among them
// (with `packaged`: it is compiled as written); without one, the other
// files of its folder and of the packages they import. Where a file is not
// in UTF-8, or the folder does not match the package, the files found are
// compiled from copies, in UTF-8 and at the paths of their packages, with
// the tree after them. nullopt (reported) when copies cannot be made.
std::optional<ProgramSources> program_sources(platform::Io& io, const std::string& source_file,
                                              const std::string& package, bool packaged,
                                              const std::string& destination_file,
                                              const std::string& destination_directory);

// When the file holds no class of its name, which the converters take the
// class name from, a note naming the class it holds, in either mode.
std::optional<Note> class_named_otherwise(const java::Program& program,
                                          std::string_view source_class);

}  // namespace convert

#endif  // CONVERT_PROGRAM_SOURCES_H
