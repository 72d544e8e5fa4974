// consoleconv [OPTION]... SOURCE DESTINATION: rewrites the console Java
// program SOURCE.java for the console class library into DESTINATION,
// under the same class name, and compiles it there.
#include <iostream>

#include "convert/front_end.h"

int main(int argc, char** argv) {
  // A big source prints a million trace lines: through the stream's own
  // buffer (it is flushed before each command).
  std::ios::sync_with_stdio(false);
  // A closed standard output is a write that fails, reported at the end.
  if (platform::reopen_closed_standard_streams()) std::cout.setstate(std::ios::badbit);
  platform::Io io{platform::real_system(), std::cout, std::cerr, "consoleconv"};
  return convert::run(io, convert::kConsoleconv, {argv + 1, argv + argc});
}
