// sweeper: removes every directory named "_vti_cnf", with its contents,
// from the tree below the current directory. Arguments are ignored.
#include <iostream>

#include "sweeper/sweep.h"

int main() {
  platform::Io io{platform::real_system(), std::cout, std::cerr, "sweeper"};
  return sweeper::Sweeper(io).sweep() ? 0 : 1;
}
