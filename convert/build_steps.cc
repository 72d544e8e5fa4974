#include "convert/build_steps.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <vector>

#include "convert/console_library.h"
#include "convert/names.h"
#include "java/lexer.h"
#include "platform/command_line.h"
#include "platform/signal_cleanup.h"

namespace convert {
namespace {

// `word` ready to stand as one argument of `tool`, or nullopt (reported)
// when the interpreter cannot pass it unchanged or the tool would take it
// for an option.
std::optional<std::string> argument_for(platform::Io& io, const std::string& word,
                                        const char* tool) {
  auto quoted = platform::quote_argument(word);
  if (!quoted || word.empty() || word.front() == '-') {
    io.error() << "the name \"" << word << "\" cannot be passed to " << tool << " safely\n";
    return std::nullopt;
  }
  return quoted;
}

// Runs the commands one after the other inside `directory`, then returns
// to the directory that was current. All of them run even when one fails.
bool run_inside(platform::Io& io, const std::string& directory,
                const std::vector<std::string>& commands) {
  auto home = io.system.current_directory();
  if (!home) {
    io.error() << "cannot read the current directory\n";
    return false;
  }
  std::string error;
  if (!io.system.change_directory(directory, error)) {
    io.error() << "cannot enter the directory " << directory << ": " << error << '\n';
    return false;
  }
  bool ok = true;
  for (const std::string& command : commands) {
    const std::optional<int> status = io.system.run_command(command);
    if (!status) {
      io.error() << "cannot start the command interpreter for: " << command << '\n';
      ok = false;
    } else if (*status != 0) {
      io.error() << "exit status " << *status << " from: " << command << '\n';
      ok = false;
    }
  }
  if (!io.system.change_directory(*home, error)) {
    io.error() << "cannot return to the directory " << *home << ": " << error << '\n';
    return false;
  }
  return ok;
}

// Moves the jar at `path`, if any, to a name of its own beside it, where
// a signal puts it back from. The name it went to ("" when there was no
// jar), or nullopt (reported) when it cannot be moved.
std::optional<std::string> set_aside(platform::Io& io, const std::string& path) {
  const platform::FileType type = io.system.file_type(path);
  platform::SignalsHeld held;
  if (type == platform::FileType::none) {
    platform::remove_on_signal(path);  // a partial jar goes
    return std::string();
  }
  if (type == platform::FileType::directory) return std::string();  // jar will say
  const std::string_view name = base_name(path);
  const std::string folder = path.substr(0, path.size() - name.size());
  std::string error;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string saved = folder + "." + std::string(name) + ".old" + std::to_string(attempt);
    if (io.system.file_type(saved) != platform::FileType::none) continue;
    if (!io.system.rename_file(path, saved, error)) break;
    platform::restore_on_signal(saved, path);
    return saved;
  }
  io.error() << "cannot move " << path << " aside while the new jar is made: " << error << '\n';
  return std::nullopt;
}

// Keeps the new jar when it was made whole; else puts back the one set
// aside, or removes what was made.
bool finish_jar(platform::Io& io, const std::string& path, const std::string& saved, bool made) {
  std::string error;
  bool ok = true;
  if (made) {
    if (!saved.empty() && !io.system.delete_file(saved, error)) {
      io.error() << "cannot remove the old jar " << saved << ": " << error << '\n';
      ok = false;
    }
  } else if (!saved.empty()) {
    if (io.system.rename_file(saved, path, error)) {
      io.error() << "the jar was not made; " << path << " is as it was\n";
    } else {
      io.error() << "cannot put the old jar back from " << saved << ": " << error << '\n';
      ok = false;
    }
  } else if (const platform::FileType type = io.system.file_type(path);
             type == platform::FileType::regular || type == platform::FileType::link) {
    if (io.system.delete_file(path, error))
      io.error() << "the jar was not made; what was made of it is removed\n";
    else
      io.error() << "cannot remove the incomplete jar " << path << ": " << error << '\n';
  }
  platform::forget_on_signal(saved.empty() ? path : saved);
  return ok;
}

}  // namespace

std::string manifest_path(const std::string& destination_directory) {
  return destination_directory + platform::path_separator() + "Manifest.mf";
}

bool compile_class(platform::Io& io, const std::string& destination_class,
                   const std::string& destination_directory, const BuildOptions& options) {
  auto source = argument_for(io, destination_class + ".java", "javac");
  if (!source) return false;
  std::string command = "javac -Xlint:deprecation -Xlint:unchecked " + options.class_version;
  if (options.utf8) command += " -encoding UTF-8";
  if (options.library_directory) {
    auto library = argument_for(io, *options.library_directory, "javac");
    if (!library) return false;
    command += " -cp " + *library;
  }
  if (options.source_path) {
    auto sources = argument_for(io, *options.source_path, "javac");
    if (!sources) return false;
    // Class files beside the program's, never beside the user's sources;
    // sources rather than stale class files.
    command += " -sourcepath " + *sources + " -d . -Xprefer:source";
  }
  return run_inside(io, destination_directory, {command + " " + *source});
}

std::string jar_name(const std::string& destination_class) {
  std::string name = destination_class + ".jar";
  if (name[0] >= 'A' && name[0] <= 'Z') name[0] = static_cast<char>(name[0] - 'A' + 'a');
  return name;
}

bool write_manifest(platform::Io& io, const std::string& destination_class,
                    const std::string& destination_directory) {
  const std::string path = manifest_path(destination_directory);
  std::string error;
  std::unique_ptr<platform::OutputFile> file;
  {
    // An interrupted run leaves no manifest to block the next one: none is
    // there unregistered, even for an instant.
    platform::SignalsHeld held;
    file = io.system.create_new_file(path, error);
    if (file) platform::remove_on_signal(path);
  }
  if (file &&
      file->write("Manifest-Version: 1.0\r\n"
                  "Created-By: 1.5.0 (Sun Microsystems Inc.)\r\n"
                  "Main-Class: " +
                      destination_class + "\r\n",
                  error) &&
      file->close(error))
    return true;
  io.error() << "cannot write " << path << ": " << error << '\n';
  if (file) remove_manifest(io, destination_directory);
  return false;
}

namespace {

bool is_package_name(const std::string& name) {
  using java::lexing::kClass;
  const auto byte = [](char c) { return static_cast<unsigned char>(c); };
  return !name.empty() && (kClass[byte(name[0])] & java::lexing::kIdStart) &&
         std::all_of(name.begin(), name.end(),
                     [&](char c) { return kClass[byte(c)] & java::lexing::kIdPart; });
}

void collect_class_files(platform::System& system, const std::string& directory,
                         const std::string& prefix, int depth, ClassFiles& files) {
  std::string error;
  auto dir = system.open_directory(directory, error);
  std::vector<platform::DirEntry> entries;
  if (!dir || !dir->list(entries, error)) return;
  constexpr std::string_view suffix = ".class";
  constexpr int kDeepestPackage = 16;
  for (const platform::DirEntry& entry : entries) {
    const std::string path = directory + platform::path_separator() + entry.name;
    // Classes of packages are in folders named as Java names.
    if (entry.type == platform::FileType::directory && depth < kDeepestPackage &&
        is_package_name(entry.name)) {
      collect_class_files(system, path, prefix + entry.name + "/", depth + 1, files);
      continue;
    }
    if (entry.type != platform::FileType::regular || entry.name.size() <= suffix.size() ||
        entry.name.compare(entry.name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    if (auto stamp = system.stamp(path)) files[prefix + entry.name] = *stamp;
  }
}

}  // namespace

ClassFiles class_files(platform::System& system, const std::string& directory) {
  ClassFiles files;
  collect_class_files(system, directory, "", 0, files);
  return files;
}

std::vector<std::string> program_classes(const ClassFiles& before, const ClassFiles& after,
                                         const std::string& destination_class) {
  std::vector<std::string> classes;
  const std::string own = destination_class + ".class", nested = destination_class + "$";
  for (const auto& [name, stamp] : after) {
    if (name == own || is_library_class_file(name)) continue;
    auto old = before.find(name);
    // Written anew; or nested in the program (a coarse clock may hide a rewrite).
    if (old == before.end() || !(old->second == stamp) || name.rfind(nested, 0) == 0)
      classes.push_back(name);
  }
  return classes;
}

bool build_jar(platform::Io& io, const std::string& destination_class,
               const std::string& destination_directory, const BuildOptions& options,
               const std::vector<std::string>& more_classes) {
  auto jar = argument_for(io, jar_name(destination_class), "jar");
  auto program = argument_for(io, destination_class + ".class", "jar");
  if (!jar || !program) return false;
  std::string from;
  if (options.library_directory) {
    auto library = argument_for(io, *options.library_directory, "jar");
    if (!library) return false;
    from = "-C " + *library + " ";
  }
  std::vector<std::string> commands = {"jar cvfm " + *jar + " Manifest.mf " + *program};
  for (std::string_view library : kLibraryClasses)
    commands.push_back("jar uvf " + *jar + " " + from + std::string(library) + ".class");
  bool ok = true;
  for (const std::string& name : more_classes) {
    if (auto quoted = argument_for(io, name, "jar"))
      commands.push_back("jar uvf " + *jar + " " + *quoted);
    else
      ok = false;
  }
  if (!ok) return false;
  const std::string path =
      destination_directory + platform::path_separator() + jar_name(destination_class);
  std::optional<std::string> saved = set_aside(io, path);
  if (!saved) return false;
  ok = run_inside(io, destination_directory, commands);
  return finish_jar(io, path, *saved, ok) && ok;
}

bool remove_manifest(platform::Io& io, const std::string& destination_directory) {
  const std::string path = manifest_path(destination_directory);
  std::string error;
  const bool removed = io.system.delete_file(path, error);
  platform::forget_on_signal(path);
  if (removed) return true;
  io.error() << "cannot remove " << path << ": " << error << '\n';
  return false;
}

}  // namespace convert
