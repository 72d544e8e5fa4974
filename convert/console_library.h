// The console class library the converted programs run on: its six class
// files, which consolepack puts into every jar, and where an installed copy
// of these tools keeps them.
#ifndef CONVERT_CONSOLE_LIBRARY_H
#define CONVERT_CONSOLE_LIBRARY_H

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace convert {

// In the order the jar commands add them.
inline constexpr std::array<std::string_view, 6> kLibraryClasses = {
    "CanvasConsole", "Console",      "ConsolePrinter",
    "ConsoleReader", "FrameConsole", "CurseurCanvasConsole"};

// Whether `file` names one of the six class files.
bool is_library_class_file(std::string_view file);

// The first of the six class files that `directory` does not hold, or
// nullopt when it holds them all.
std::optional<std::string> missing_library_file(platform::System& system,
                                                const std::string& directory);

// The library installed with the running program, found relative to its
// executable, never at a fixed place, so that an installed, an unpacked and
// an unzipped copy all find their own: BIN/../share/consoletools/console,
// else BIN/console (the Windows zip). Absolute; nullopt when neither holds
// the six class files.
std::optional<std::string> installed_library(platform::System& system);

}  // namespace convert

#endif  // CONVERT_CONSOLE_LIBRARY_H
