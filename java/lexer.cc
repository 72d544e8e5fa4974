#include "java/lexer.h"

namespace java {
namespace {

int hex_value(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A Unicode escape at `at` (a backslash, one or more 'u', four hex digits):
// its length, and the UTF-16 unit it stands for; 0 when there is none.
size_t unicode_escape(std::string_view text, size_t at, unsigned& unit) {
  if (at >= text.size() || text[at] != '\\') return 0;
  size_t i = at + 1;
  while (i < text.size() && text[i] == 'u') ++i;
  if (i == at + 1 || i + 4 > text.size()) return 0;
  unit = 0;
  for (size_t k = i; k < i + 4; ++k) {
    const int digit = hex_value(static_cast<unsigned char>(text[k]));
    if (digit < 0) return 0;
    unit = unit * 16 + static_cast<unsigned>(digit);
  }
  return i + 4 - at;
}

}  // namespace

namespace lexing {

size_t escaped_identifier_char(std::string_view text, size_t at, bool first) {
  unsigned unit = 0;
  const size_t length = unicode_escape(text, at, unit);
  if (length == 0) return 0;
  if (unit < 0x80 && !(kClass[unit] & (first ? kIdStart : kIdPart))) return 0;
  return length;
}

}  // namespace lexing

std::string decode_identifier(std::string_view spelled) {
  std::string name;
  for (size_t i = 0; i < spelled.size();) {
    unsigned unit = 0;
    const size_t length = unicode_escape(spelled, i, unit);
    if (length == 0) {
      name += spelled[i++];
      continue;
    }
    i += length;
    if (unit < 0x80) {
      name += static_cast<char>(unit);
    } else if (unit < 0x800) {
      name += static_cast<char>(0xC0 | (unit >> 6));
      name += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      name += static_cast<char>(0xE0 | (unit >> 12));
      name += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      name += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return name;
}

}  // namespace java
