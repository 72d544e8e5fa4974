#include "convert/build_steps.h"

#include <optional>
#include <ostream>
#include <vector>

#include "platform/command_line.h"

namespace convert {
namespace {

// `word` ready to stand as one argument of `tool`, or nullopt (reported)
// when the interpreter cannot pass it unchanged or the tool would take it
// for an option.
std::optional<std::string> argument_for(platform::Io& io, const std::string& word,
                                        const char* tool) {
  auto quoted = platform::quote_argument(word);
  if (!quoted || word.empty() || word.front() == '-') {
    io.err << "error: the name \"" << word << "\" cannot be passed to " << tool
           << " safely\n";
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
    io.err << "error: cannot read the current directory\n";
    return false;
  }
  if (!io.system.change_directory(directory)) {
    io.err << "error: cannot enter the directory " << directory << '\n';
    return false;
  }
  bool ok = true;
  for (const std::string& command : commands) {
    int status = io.system.run_command(command);
    if (status == -1) {
      io.err << "error: cannot start the command interpreter for: " << command << '\n';
      ok = false;
    } else if (status != 0) {
      io.err << "error: exit status " << status << " from: " << command << '\n';
      ok = false;
    }
  }
  if (!io.system.change_directory(*home)) {
    io.err << "error: cannot return to the directory " << *home << '\n';
    return false;
  }
  return ok;
}

}  // namespace

bool compile_class(platform::Io& io, const std::string& destination_class,
                   const std::string& destination_directory) {
  auto source = argument_for(io, destination_class + ".java", "javac");
  if (!source) return false;
  return run_inside(
      io, destination_directory,
      {"javac -Xlint:deprecation -Xlint:unchecked -source 1.3 -target 1.3 " + *source});
}

}  // namespace convert
