// Putting names into interpreter command lines so that each reaches the
// program as exactly one argument, unchanged.
#ifndef PLATFORM_COMMAND_LINE_H
#define PLATFORM_COMMAND_LINE_H

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// For /bin/sh. Words made only of characters the shell takes literally come
// back unchanged; others are single-quoted. Never fails for a word without
// zero bytes.
std::optional<std::string> quote_for_posix_shell(std::string_view word);

// For cmd.exe. Words made only of characters cmd takes literally come back
// unchanged; others are double-quoted. nullopt when cmd would still change
// the word inside quotes (%, !, a double quote, control characters).
std::optional<std::string> quote_for_cmd(std::string_view word);

// The quoting of this build's platform interpreter.
std::optional<std::string> quote_argument(std::string_view word);

}  // namespace platform

#endif  // PLATFORM_COMMAND_LINE_H
