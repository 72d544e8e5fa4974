// sweeper [OPTION]... [DIR]: removes every directory named "_vti_cnf", with
// its contents, from the tree below DIR or the current directory.
#include <iostream>

#include "sweeper/front_end.h"

int main(int argc, char** argv) {
  // A closed standard output is a write that fails, reported at the end.
  if (platform::reopen_closed_standard_streams()) std::cout.setstate(std::ios::badbit);
  platform::Io io{platform::real_system(), std::cout, std::cerr, "sweeper"};
  return sweeper::run(io, {argv + 1, argv + argc});
}
