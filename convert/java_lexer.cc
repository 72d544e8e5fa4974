#include "convert/java_lexer.h"

#include <algorithm>

namespace convert {
namespace {

bool is_identifier_start(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}

bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }

bool is_identifier_part(unsigned char c) { return is_identifier_start(c) || is_digit(c); }

bool is_blank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\f' || c == '\r' || c == '\n';
}

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
    const int digit = hex_value(text[k]);
    if (digit < 0) return 0;
    unit = unit * 16 + static_cast<unsigned>(digit);
  }
  return i + 4 - at;
}

bool is_identifier_unit(unsigned unit, bool first) {
  if (unit < 0x80)
    return first ? is_identifier_start(static_cast<unsigned char>(unit))
                 : is_identifier_part(static_cast<unsigned char>(unit));
  return true;
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  std::vector<Token> run() {
    // Untouched capacity costs no memory; growing by copies would.
    tokens_.reserve(text_.size() / 2 + 16);
    while (pos_ < text_.size()) {
      const size_t begin = pos_;
      TokenKind kind = next();
      tokens_.push_back({static_cast<uint32_t>(begin), static_cast<uint32_t>(pos_), kind,
                         unterminated_, escaped_});
      unterminated_ = false;
      escaped_ = false;
    }
    return std::move(tokens_);
  }

 private:
  unsigned char at(size_t i) const { return i < text_.size() ? text_[i] : 0; }

  TokenKind next() {
    const unsigned char c = at(pos_);
    if (is_blank(c)) {
      while (pos_ < text_.size() && is_blank(at(pos_))) ++pos_;
      return TokenKind::whitespace;
    }
    if (c == '/' && at(pos_ + 1) == '/') {
      while (pos_ < text_.size() && at(pos_) != '\n' && at(pos_) != '\r') ++pos_;
      return TokenKind::line_comment;
    }
    if (c == '/' && at(pos_ + 1) == '*') {
      size_t end = text_.find("*/", pos_ + 2);
      unterminated_ = end == std::string_view::npos;
      pos_ = unterminated_ ? text_.size() : end + 2;
      return TokenKind::block_comment;
    }
    if (c == '"' && at(pos_ + 1) == '"' && at(pos_ + 2) == '"') {
      pos_ += 3;
      quoted_to("\"\"\"", true);
      return TokenKind::text_block;
    }
    if (c == '"' || c == '\'') {
      ++pos_;
      quoted_to(c == '"' ? "\"" : "'", false);
      return TokenKind::string_literal;
    }
    if (is_identifier_start(c) || escaped_identifier_part(true)) {
      for (;;) {
        if (pos_ < text_.size() && is_identifier_part(at(pos_)))
          ++pos_;
        else if (!escaped_identifier_part(false))
          break;
      }
      return TokenKind::identifier;
    }
    if (is_digit(c) || (c == '.' && is_digit(at(pos_ + 1)))) {
      for (++pos_; pos_ < text_.size(); ++pos_) {
        const unsigned char d = at(pos_);
        const unsigned char before = at(pos_ - 1);
        bool exponent_sign = (d == '+' || d == '-') &&
                             (before == 'e' || before == 'E' || before == 'p' || before == 'P');
        if (!is_identifier_part(d) && d != '.' && !exponent_sign) break;
      }
      return TokenKind::number;
    }
    ++pos_;
    return TokenKind::punctuation;
  }

  // Steps over a Unicode escape at pos_ that spells an identifier character.
  bool escaped_identifier_part(bool first) {
    unsigned unit = 0;
    const size_t length = unicode_escape(text_, pos_, unit);
    if (length == 0 || !is_identifier_unit(unit, first)) return false;
    pos_ += length;
    escaped_ = true;
    return true;
  }

  // Moves past the closing quote, skipping escapes; a one-line literal ends
  // unterminated at its line end, a text block at the end of the text.
  void quoted_to(std::string_view close, bool multiline) {
    while (pos_ < text_.size()) {
      const unsigned char c = at(pos_);
      if (c == '\\') {
        pos_ = std::min(pos_ + 2, text_.size());
      } else if (text_.substr(pos_, close.size()) == close) {
        pos_ += close.size();
        return;
      } else if (!multiline && (c == '\n' || c == '\r')) {
        break;
      } else {
        ++pos_;
      }
    }
    unterminated_ = true;
  }

  std::string_view text_;
  size_t pos_ = 0;
  bool unterminated_ = false;
  bool escaped_ = false;
  std::vector<Token> tokens_;
};

}  // namespace

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

std::vector<Token> lex_java(std::string_view text) {
  if (text.size() > kMaxLexedSize) return {};
  return Lexer(text).run();
}

}  // namespace convert
