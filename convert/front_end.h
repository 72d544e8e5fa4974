// The command line shared by consoleconv and consolepack: options, operands,
// the checks made before anything runs, then the chain of steps.
#ifndef CONVERT_FRONT_END_H
#define CONVERT_FRONT_END_H

#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"

namespace convert {

struct Converter {
  std::string_view name;
  std::string_view class_suffix;  // added to the class name
  bool packages;                  // manifest and jar after compiling
  std::string_view summary;       // what --help says it does
};

extern const Converter kConsoleconv;
extern const Converter kConsolepack;

// Runs the converter on `args` (without the program name) and returns its
// exit status: 0 success, 1 a step failed, 2 a usage error (nothing done).
int run(platform::Io& io, const Converter& converter, const std::vector<std::string>& args);

}  // namespace convert

#endif  // CONVERT_FRONT_END_H
