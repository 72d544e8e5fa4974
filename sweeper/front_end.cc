#include "sweeper/front_end.h"

#include <new>
#include <ostream>

#include "platform/arguments.h"
#include "sweeper/sweep.h"

namespace sweeper {
namespace {

void print_help(platform::Io& io) {
  io.out << "Usage: sweeper [OPTION]... [DIR]\n"
            "Remove every directory named _vti_cnf, with all it holds, from the tree below\n"
            "DIR (by default the current directory), printing the removal command of each\n"
            "before it goes. DIR itself is never removed.\n"
            "\n"
            "Options:\n"
            "  -n, --dry-run  print the lines a real run would print, remove nothing\n"
            "  -h, --help     display this help and exit\n"
            "      --version  output version information and exit\n"
            "\n"
            "Links are never followed: a link named _vti_cnf, or a directory that turns\n"
            "into a link during the walk, is left alone; a link inside a _vti_cnf directory\n"
            "is removed as a link, its target kept.\n"
            "\n"
            "Exit status:\n"
            "  0  every _vti_cnf directory found was removed (with --dry-run: listed)\n"
            "  1  DIR or a directory below it could not be opened or listed, or a removal\n"
            "     failed; the rest of the tree was still swept\n"
            "  2  usage error; nothing was removed\n";
}

}  // namespace

int run(platform::Io& io, const std::vector<std::string>& args) {
  std::string problem;
  auto parsed =
      platform::parse_arguments(args, {{'n', "dry-run"}, {'h', "help"}, {0, "version"}}, problem);
  if (!parsed) return io.usage_error(problem);
  if (parsed->has("help")) {
    print_help(io);
    return io.finish(0);
  }
  if (parsed->has("version")) {
    io.out << "sweeper " << CONSOLETOOLS_VERSION << '\n';
    return io.finish(0);
  }
  if (parsed->operands.size() > 1)
    return io.usage_error("extra operand '" + parsed->operands[1] + "'");
  Options options;
  options.dry_run = parsed->has("dry-run");
  const std::string start = parsed->operands.empty() ? "" : parsed->operands[0];
  // An empty DIR is a directory that does not exist, not the current one.
  if (!parsed->operands.empty() && start.empty()) {
    io.error() << "cannot sweep '': No such file or directory\n";
    return io.finish(1);
  }
  try {
    return io.finish(Sweeper(io, options).sweep(start) ? 0 : 1);
  } catch (const std::bad_alloc&) {
    io.error() << "out of memory; the sweep stopped where it was\n";
    return io.finish(1);
  }
}

}  // namespace sweeper
