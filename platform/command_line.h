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

// The interpreter command that removes the directory tree at `path` without
// asking: "rm -rf -- PATH" for /bin/sh, "rd PATH /s /q" for cmd.exe, the
// path quoted where needed. nullopt when the interpreter cannot be handed
// the path safely.
std::optional<std::string> posix_tree_removal(std::string_view path);
std::optional<std::string> cmd_tree_removal(std::string_view path);
std::optional<std::string> tree_removal_command(std::string_view path);

// The removal command with the path as it stands, for the record when the
// tree is removed without the interpreter.
std::string tree_removal_line(std::string_view path);

}  // namespace platform

#endif  // PLATFORM_COMMAND_LINE_H
