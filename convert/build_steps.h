// The steps after the rewriting: compiling the converted class and
// packaging it into an executable jar. Each runs its commands inside the
// destination directory, leaves the current directory as it found it, runs
// whatever happened before it, and returns whether it succeeded.
#ifndef CONVERT_BUILD_STEPS_H
#define CONVERT_BUILD_STEPS_H

#include <string>

#include "platform/system.h"

namespace convert {

bool compile_class(platform::Io& io, const std::string& destination_class,
                   const std::string& destination_directory);

}  // namespace convert

#endif  // CONVERT_BUILD_STEPS_H
