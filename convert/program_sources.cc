#include "convert/program_sources.h"

#include <algorithm>
#include <ostream>

#include "convert/console_library.h"
#include "convert/names.h"
#include "convert/source_encoding.h"
#include "java/source.h"
#include "java/structure.h"
#include "platform/signal_cleanup.h"
#include "platform/tree_removal.h"

namespace convert {
namespace {

constexpr std::string_view kJava = ".java";
#ifdef _WIN32
constexpr char kSourcePathSeparator = ';';
#else
constexpr char kSourcePathSeparator = ':';
#endif

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

std::unique_ptr<SourceCopies> SourceCopies::make(platform::Io& io,
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
  return copies;
}

bool SourceCopies::add(const std::string& relative, std::string_view text, std::string& error) {
  const char separator = platform::path_separator();
  std::string path = directory_;
  for (size_t from = 0;;) {
    const size_t to = relative.find(separator, from);
    path += separator + relative.substr(from, to - from);
    if (to == std::string::npos) break;
    from = to + 1;
    if (io_.system.file_type(path) == platform::FileType::directory) continue;
    platform::SignalsHeld held;
    if (!io_.system.create_directory(path, error)) return false;
    platform::remove_on_signal(path);
    made_.push_back(path);
  }
  std::unique_ptr<platform::OutputFile> file;
  {
    platform::SignalsHeld held;
    file = io_.system.create_new_file(path, error);
    if (file) platform::remove_on_signal(path);
  }
  if (!file) return false;
  made_.push_back(path);
  return file->write(text, error) && file->close(error);
}

SourceCopies::~SourceCopies() {
  std::string error;
  for (const std::string& path : made_) platform::forget_on_signal(path);
  // All of it, and what javac may have left there.
  const std::string parent = folder_of(directory_);
  if (auto directory = io_.system.open_directory(parent, error))
    platform::remove_tree(*directory, directory_.substr(parent.size()), directory_,
                          [&](const std::string& path, const std::string& reason) {
                            io_.error() << "cannot remove " << path << ": " << reason << '\n';
                          });
  platform::forget_on_signal(directory_);
}

namespace {

// A file of the program found for the compile.
struct FoundFile {
  std::string relative;  // below the root, by its package's path
  std::string text;      // in UTF-8
  bool transcoded = false;
};

// Reads the packages a file's imports name ("a.b" of import a.b.C;,
// a.b.*; and their static forms), but the JDK's.
void imported_packages(std::string_view text, std::vector<std::string>& packages) {
  const java::Source source(text);
  for (size_t c = 0; c < source.size(); ++c) {
    if (!source.is(c, "import") || (c > 0 && !source.is(c - 1, ";") && !source.is(c - 1, "}")))
      continue;
    size_t at = c + 1;
    const bool is_static = source.is(at, "static");
    if (is_static) ++at;
    std::vector<std::string_view> parts;
    for (; source.is_identifier(at) || source.is(at, "*"); at += 2) {
      parts.push_back(source.word(at));
      if (!source.is(at + 1, ".")) break;
    }
    // The last part is a type, or *; a static import's type is one more.
    size_t keep = parts.size() >= 1 ? parts.size() - 1 : 0;
    if (is_static && keep > 0) --keep;
    if (keep == 0 || parts[0] == "java" || parts[0] == "javax" || parts[0] == "jdk") continue;
    std::string name;
    for (size_t i = 0; i < keep; ++i) name += (i ? "." : "") + std::string(parts[i]);
    packages.push_back(name);
  }
}

std::string package_path(const std::string& package) {
  std::string path = package;
  std::replace(path.begin(), path.end(), '.', platform::path_separator());
  return path;
}

}  // namespace

std::optional<ProgramSources> program_sources(platform::Io& io, const std::string& source_file,
                                              const std::string& package, bool packaged,
                                              const std::string& destination_file,
                                              const std::string& destination_directory) {
  ProgramSources result;
  platform::System& system = io.system;
  std::string error;
  const std::string folder = folder_of(source_file);
  auto absolute = system.absolute_path(folder.empty() ? "." : folder, error);
  if (!absolute) return result;
  const char separator = platform::path_separator();
  // The root the package's path starts from, when the folder ends with it.
  std::optional<std::string> root;
  const std::string own_path = package_path(package);
  if (package.empty()) {
    root = *absolute;
  } else if (absolute->size() > own_path.size() &&
             absolute->compare(absolute->size() - own_path.size(), own_path.size(), own_path) ==
                 0 &&
             (*absolute)[absolute->size() - own_path.size() - 1] == separator) {
    root = absolute->substr(0, absolute->size() - own_path.size() - 1);
  }

  std::vector<FoundFile> found;
  std::vector<std::string> queue = {package}, visited;
  constexpr size_t kMostFiles = 10000;
  while (!queue.empty() && found.size() < kMostFiles) {
    const std::string visiting = queue.back();
    queue.pop_back();
    if (std::find(visited.begin(), visited.end(), visiting) != visited.end()) continue;
    visited.push_back(visiting);
    const std::string directory_path =
        visiting == package ? *absolute : *root + separator + package_path(visiting);
    auto directory = system.open_directory(directory_path, error);
    std::vector<platform::DirEntry> entries;
    if (!directory || !directory->list(entries, error)) continue;
    for (const platform::DirEntry& entry : entries) {
      if (entry.type != platform::FileType::regular || !is_java_file(entry.name)) continue;
      const std::string path = directory_path + separator + entry.name;
      const bool own = system.same_file(path, source_file);
      if (system.same_file(path, destination_file)) continue;
      std::string bytes;
      if (!system.read_file(path, bytes, error)) continue;  // javac will say
      if (own && !packaged) {
        // Converted into the destination: only what it imports is wanted.
        if (root) imported_packages(to_utf8(bytes, detect_encoding(bytes)), queue);
        continue;
      }
      const SourceEncoding encoding = detect_encoding(bytes);
      FoundFile file{
          visiting.empty() ? entry.name : package_path(visiting) + separator + entry.name,
          to_utf8(bytes, encoding), encoding != SourceEncoding::utf8};
      std::string().swap(bytes);
      if (!root) {
        // No tree to go by: the files of the package in the folder.
        const java::Program program(file.text);
        if (java::package_name(program.source, program.structure) != package) continue;
      } else {
        imported_packages(file.text, queue);
      }
      found.push_back(std::move(file));
    }
  }

  for (const FoundFile& file : found) result.utf8 = result.utf8 || has_non_ascii(file.text);
  const bool transcoded = std::any_of(found.begin(), found.end(),
                                      [](const FoundFile& file) { return file.transcoded; });
  if (found.empty()) return result;
  if (root && !transcoded) {
    result.source_path = *root;
    return result;
  }
  result.copies = SourceCopies::make(io, destination_directory);
  if (!result.copies) return std::nullopt;
  for (const FoundFile& file : found) {
    if (!result.copies->add(file.relative, file.text, error)) {
      io.error() << "cannot copy the program's files for the compile: " << error << '\n';
      return std::nullopt;
    }
  }
  result.source_path = result.copies->directory();
  // What was not found by its imports is still found in the tree.
  if (root) *result.source_path += std::string(1, kSourcePathSeparator) + *root;
  return result;
}

}  // namespace convert
