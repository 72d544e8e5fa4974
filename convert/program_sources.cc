#include "convert/program_sources.h"

#include <algorithm>
#include <ostream>

#include "convert/console_library.h"
#include "convert/names.h"
#include "java/structure.h"
#include "platform/signal_cleanup.h"
#include "platform/tree_removal.h"

namespace convert {
namespace {

constexpr std::string_view kJava = ".java";

bool is_java_file(std::string_view name) {
  return name.size() > kJava.size() && name.substr(name.size() - kJava.size()) == kJava;
}

// The folder part of a path, with its separator ("" for none).
std::string folder_of(const std::string& path) {
  return path.substr(0, path.size() - base_name(path).size());
}

bool is_library_class(std::string_view name) {
  return std::find(kLibraryClasses.begin(), kLibraryClasses.end(), name) != kLibraryClasses.end();
}

bool is_name_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

// Whether a text may declare a type named like a library class, by a look
// at its bytes: one of the names after a declaring keyword, or a Unicode
// escape. Only then is it worth lexing: a big file beside the program
// costs a scan, not an analysis.
bool may_declare_library_class(std::string_view text) {
  if (text.find("\\u") != std::string_view::npos) return true;
  constexpr std::string_view common = "Console";  // in each of the six names
  for (size_t at = text.find(common); at != std::string_view::npos;
       at = text.find(common, at + common.size())) {
    size_t begin = at, end = at + common.size();
    while (begin > 0 && is_name_char(text[begin - 1])) --begin;
    while (end < text.size() && is_name_char(text[end])) ++end;
    if (!is_library_class(text.substr(begin, end - begin))) continue;
    size_t before = begin;
    while (before > 0 && (text[before - 1] == ' ' || text[before - 1] == '\t' ||
                          text[before - 1] == '\n' || text[before - 1] == '\r'))
      --before;
    size_t word = before;
    while (word > 0 && is_name_char(text[word - 1])) --word;
    const std::string_view keyword = text.substr(word, before - word);
    if (keyword == "class" || keyword == "interface" || keyword == "enum" || keyword == "record")
      return true;
    if (before > 0 && text[before - 1] == '/') return true;  // a comment between: look closer
  }
  return false;
}

}  // namespace

OtherSources other_sources(platform::System& system, const std::string& source_file,
                           const std::string& destination_file) {
  OtherSources others;
  std::string error;
  const std::string folder = folder_of(source_file);
  auto absolute = system.absolute_path(folder.empty() ? "." : folder, error);
  if (!absolute) return others;
  auto directory = system.open_directory(*absolute, error);
  std::vector<platform::DirEntry> entries;
  if (!directory || !directory->list(entries, error)) return others;
  const std::string own = source_file.substr(folder.size());
  for (const platform::DirEntry& entry : entries) {
    if (entry.type != platform::FileType::regular || !is_java_file(entry.name) || entry.name == own)
      continue;
    const std::string path = *absolute + platform::path_separator() + entry.name;
    if (system.same_file(path, destination_file)) continue;
    others.files.push_back(entry.name);
  }
  others.directory = *absolute;
  return others;
}

std::optional<std::string> library_clash(const java::Program& program, const std::string& file,
                                         std::string_view renamed) {
  const java::Source& source = program.source;
  for (const java::TypeDeclaration& type : program.structure.type_declarations) {
    const std::string_view name = source.word(type.name);
    if (name == renamed || !is_library_class(name)) continue;
    return file + ":" + std::to_string(source.line_of(source.begin(type.name))) + ": the class " +
           std::string(name) +
           " has the name of a class of the console library, whose place it would take; "
           "rename it";
  }
  return std::nullopt;
}

std::optional<std::string> library_clash(platform::System& system, const OtherSources& others) {
  for (const std::string& name : others.files) {
    const std::string path = others.directory + platform::path_separator() + name;
    if (is_library_class(std::string_view(name).substr(0, name.size() - kJava.size())))
      return path +
             " has the name of a class of the console library, whose place it would "
             "take in the compile; rename it or move it away";
    std::string text, error;
    if (!system.read_file(path, text, error)) continue;  // javac will say
    if (!may_declare_library_class(text)) continue;
    const java::Program program(text);
    if (auto clash = library_clash(program, path, "")) return clash;
  }
  return std::nullopt;
}

std::optional<Note> class_named_otherwise(const java::Program& program,
                                          std::string_view source_class) {
  const java::TypeDeclaration* other =
      java::other_than_file_class(program.source, program.structure, source_class);
  if (!other) return std::nullopt;
  const std::string name(program.source.word(other->name));
  return Note{program.source.line_of(program.source.begin(other->name)),
              "this file holds the class " + name + ", not " + std::string(source_class) +
                  " as its name says, and the converters take the class name from the file's: "
                  "rename the file " +
                  name + ".java, or the class " + std::string(source_class)};
}

std::string without_package(std::string_view text, const java::Program& program) {
  const java::Structure& structure = program.structure;
  if (structure.package_keyword == java::kNone) return std::string(text);
  const size_t from = program.source.begin(structure.package_keyword);
  const size_t to = program.source.end(structure.package_end);
  std::string result(text.substr(0, from));
  for (char c : text.substr(from, to - from))
    if (c == '\n' || c == '\r') result += c;
  result.append(text.substr(to));
  return result;
}

std::unique_ptr<SourceCopies> SourceCopies::make(platform::Io& io, const OtherSources& others,
                                                 const std::string& source_file,
                                                 const std::string& package,
                                                 const std::string& destination_directory) {
  std::unique_ptr<SourceCopies> copies(new SourceCopies(io));
  std::string error;
  auto absolute = io.system.absolute_path(destination_directory, error);
  auto directory =
      absolute ? io.system.create_temporary_directory(*absolute, ".consoletools-sources-", error)
               : std::nullopt;
  if (!directory) {
    io.error() << "cannot make a folder in " << destination_directory
               << " for the program's other files: " << error << '\n';
    return nullptr;
  }
  copies->directory_ = *directory;
  bool ok = copies->copy(source_file, package, false, error);
  for (size_t i = 0; ok && i < others.files.size(); ++i)
    ok = copies->copy(others.directory + platform::path_separator() + others.files[i], package,
                      true, error);
  if (!ok) {
    io.error() << "cannot copy the program's files for the compile: " << error << '\n';
    return nullptr;
  }
  return copies;
}

// A file of the package, under its own name; one of another package, or
// none, is no part of the program's.
bool SourceCopies::copy(const std::string& from, const std::string& package, bool other,
                        std::string& error) {
  std::string text;
  if (!io_.system.read_file(from, text, error)) return !other;  // javac will say
  const java::Program program(text);
  if (java::package_name(program.source, program.structure) != package) return true;
  const std::string to = directory_ + platform::path_separator() + std::string(base_name(from));
  std::unique_ptr<platform::OutputFile> file;
  {
    platform::SignalsHeld held;
    file = io_.system.create_new_file(to, error);
    if (file) platform::remove_on_signal(to);
  }
  if (!file) return false;
  files_.push_back(to);
  if (other) ++others_copied_;
  return file->write(without_package(text, program), error) && file->close(error);
}

SourceCopies::~SourceCopies() {
  std::string error;
  for (const std::string& file : files_) {
    io_.system.delete_file(file, error);
    platform::forget_on_signal(file);
  }
  // What javac may have left there goes too.
  const std::string parent = folder_of(directory_);
  if (auto directory = io_.system.open_directory(parent, error))
    platform::remove_tree(*directory, directory_.substr(parent.size()), directory_,
                          [&](const std::string& path, const std::string& reason) {
                            io_.error() << "cannot remove " << path << ": " << reason << '\n';
                          });
  platform::forget_on_signal(directory_);
}

}  // namespace convert
