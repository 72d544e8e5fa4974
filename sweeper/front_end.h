// The sweeper's command line: sweeper [OPTION]... [DIR].
#ifndef SWEEPER_FRONT_END_H
#define SWEEPER_FRONT_END_H

#include <string>
#include <vector>

#include "platform/system.h"

namespace sweeper {

// Runs the sweeper on `args` (without the program name) and returns its
// exit status: 0 success, 1 something could not be swept, 2 a usage error.
int run(platform::Io& io, const std::vector<std::string>& args);

}  // namespace sweeper

#endif  // SWEEPER_FRONT_END_H
