#include "platform/command_line.h"

namespace platform {
namespace {

bool is_alnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c >= 'a' && c <= 'z');
}

bool all_of(std::string_view word, bool (*literal)(unsigned char)) {
  for (char c : word)
    if (!literal(static_cast<unsigned char>(c))) return false;
  return true;
}

bool literal_for_sh(unsigned char c) {
  switch (c) {
    case '_': case '-': case '.': case '/': case ':': case '+': case '@':
    case ',': case '=': case '%':
      return true;
    default:
      return is_alnum(c);
  }
}

// ',', ';' and '=' separate arguments of cmd's own commands (rd), so they
// are not literal here.
bool literal_for_cmd(unsigned char c) {
  switch (c) {
    case '_': case '-': case '.': case '/': case '\\': case ':': case '+':
    case '@': case '#': case '$': case '~':
      return true;
    default:
      return is_alnum(c);
  }
}

std::string posix_removal_line(std::string_view word) {
  return "rm -rf -- " + std::string(word);
}

std::string cmd_removal_line(std::string_view word) {
  return "rd " + std::string(word) + " /s /q";
}

}  // namespace

std::optional<std::string> quote_for_posix_shell(std::string_view word) {
  if (word.find('\0') != std::string_view::npos) return std::nullopt;
  if (!word.empty() && all_of(word, literal_for_sh)) return std::string(word);
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  quoted += '\'';
  return quoted;
}

std::optional<std::string> quote_for_cmd(std::string_view word) {
  if (!word.empty() && all_of(word, literal_for_cmd)) return std::string(word);
  for (char c : word) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '%' || c == '!' || u < 0x20 || u == 0x7f)
      return std::nullopt;
  }
  // A trailing backslash would escape the closing quote for programs that
  // parse their command line with the C runtime's rules.
  if (!word.empty() && word.back() == '\\') return std::nullopt;
  return "\"" + std::string(word) + "\"";
}

std::optional<std::string> quote_argument(std::string_view word) {
#ifdef _WIN32
  return quote_for_cmd(word);
#else
  return quote_for_posix_shell(word);
#endif
}

std::optional<std::string> posix_tree_removal(std::string_view path) {
  auto quoted = quote_for_posix_shell(path);
  if (!quoted) return std::nullopt;
  return posix_removal_line(*quoted);
}

std::optional<std::string> cmd_tree_removal(std::string_view path) {
  auto quoted = quote_for_cmd(path);
  // rd would read a leading slash as one of its switches.
  if (!quoted || path.empty() || path.front() == '/') return std::nullopt;
  return cmd_removal_line(*quoted);
}

std::optional<std::string> tree_removal_command(std::string_view path) {
#ifdef _WIN32
  return cmd_tree_removal(path);
#else
  return posix_tree_removal(path);
#endif
}

std::string tree_removal_line(std::string_view path) {
#ifdef _WIN32
  return cmd_removal_line(path);
#else
  return posix_removal_line(path);
#endif
}

}  // namespace platform
