// A small Java lexer, enough to tell code from comments and literals and
// to match brackets. It never fails: any byte it does not know becomes a
// one-byte token, and an unterminated comment or literal runs to the end
// of the file (a block comment, a text block) or of its line (a string or
// character literal). Unicode escapes (\u0066) that spell identifier
// characters are part of the identifier, as javac reads them.
//
// It runs over bytes with a table of character classes, one token at a
// time, storing nothing: what to keep is the caller's choice.
#ifndef JAVA_LEXER_H
#define JAVA_LEXER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace java {

enum class TokenKind : uint8_t {
  whitespace,
  line_comment,
  block_comment,
  string_literal,  // "...", and '...' character literals
  text_block,      // """..."""
  identifier,      // keywords included
  number,
  punctuation,  // one byte: ( ) { } [ ] ; , . = and the rest
};

// Code is what is not whitespace or a comment.
inline bool is_code(TokenKind kind) { return kind >= TokenKind::string_literal; }

struct Lexed {
  TokenKind kind;
  size_t end;
  bool unterminated;
  bool escaped;  // an identifier spelled with Unicode escapes
};

// The name an identifier spelled with Unicode escapes stands for, in
// UTF-8; its text unchanged when it has none.
std::string decode_identifier(std::string_view spelled);

namespace lexing {

enum : uint8_t { kBlank = 1, kIdStart = 2, kDigit = 4, kIdPart = kIdStart | kDigit };

constexpr std::array<uint8_t, 256> classes() {
  std::array<uint8_t, 256> table{};
  for (unsigned c : {' ', '\t', '\f', '\r', '\n'}) table[c] = kBlank;
  for (unsigned c = 'a'; c <= 'z'; ++c) table[c] = kIdStart;
  for (unsigned c = 'A'; c <= 'Z'; ++c) table[c] = kIdStart;
  for (unsigned c = 0x80; c < 0x100; ++c) table[c] = kIdStart;
  table['_'] = table['$'] = kIdStart;
  for (unsigned c = '0'; c <= '9'; ++c) table[c] = kDigit;
  return table;
}

inline constexpr std::array<uint8_t, 256> kClass = classes();

// A Unicode escape at `at` spelling an identifier character (a start one
// when `first`): its length, or 0.
size_t escaped_identifier_char(std::string_view text, size_t at, bool first);

}  // namespace lexing

// Tokens one after the other from `at`, which must be where one starts.
class Lexer {
 public:
  explicit Lexer(std::string_view text, size_t at = 0) : text_(text), pos_(at) {}

  bool done() const { return pos_ >= text_.size(); }
  size_t position() const { return pos_; }

  Lexed next() {
    using lexing::kClass;
    const unsigned char c = byte(pos_);
    const uint8_t cls = kClass[c];
    if (cls & lexing::kBlank) {
      pos_ = skip(pos_ + 1, lexing::kBlank);
      return {TokenKind::whitespace, pos_, false, false};
    }
    if (cls & lexing::kIdStart) {
      ++pos_;
      return identifier(false);
    }
    if (cls & lexing::kDigit) return number();
    switch (c) {
      case '/':
        if (byte(pos_ + 1) == '/') return line_comment();
        if (byte(pos_ + 1) == '*') return block_comment();
        break;
      case '"':
        if (byte(pos_ + 1) == '"' && byte(pos_ + 2) == '"') {
          pos_ += 3;
          return quoted("\"\"\"", true, TokenKind::text_block);
        }
        ++pos_;
        return quoted("\"", false, TokenKind::string_literal);
      case '\'':
        ++pos_;
        return quoted("'", false, TokenKind::string_literal);
      case '.':
        if (kClass[byte(pos_ + 1)] & lexing::kDigit) return number();
        break;
      case '\\':
        if (size_t length = lexing::escaped_identifier_char(text_, pos_, true)) {
          pos_ += length;
          return identifier(true);
        }
        break;
      default:
        break;
    }
    ++pos_;
    return {TokenKind::punctuation, pos_, false, false};
  }

 private:
  unsigned char byte(size_t i) const {
    return i < text_.size() ? static_cast<unsigned char>(text_[i]) : 0;
  }

  // Past the bytes of class `cls` from `at`.
  size_t skip(size_t at, uint8_t cls) const {
    const unsigned char* data = reinterpret_cast<const unsigned char*>(text_.data());
    const size_t size = text_.size();
    while (at < size && (lexing::kClass[data[at]] & cls)) ++at;
    return at;
  }

  Lexed identifier(bool escaped) {
    for (;;) {
      pos_ = skip(pos_, lexing::kIdPart);
      if (byte(pos_) != '\\') break;
      const size_t length = lexing::escaped_identifier_char(text_, pos_, false);
      if (length == 0) break;
      pos_ += length;
      escaped = true;
    }
    return {TokenKind::identifier, pos_, false, escaped};
  }

  Lexed number() {
    for (++pos_; pos_ < text_.size(); ++pos_) {
      const unsigned char d = byte(pos_), before = byte(pos_ - 1);
      const bool exponent_sign = (d == '+' || d == '-') &&
                                 (before == 'e' || before == 'E' || before == 'p' || before == 'P');
      if (!(lexing::kClass[d] & lexing::kIdPart) && d != '.' && !exponent_sign) break;
    }
    return {TokenKind::number, pos_, false, false};
  }

  Lexed line_comment() {
    while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    return {TokenKind::line_comment, pos_, false, false};
  }

  Lexed block_comment() {
    const size_t end = text_.find("*/", pos_ + 2);
    const bool unterminated = end == std::string_view::npos;
    pos_ = unterminated ? text_.size() : end + 2;
    return {TokenKind::block_comment, pos_, unterminated, false};
  }

  // Past the closing quote, skipping escapes; a one-line literal ends
  // unterminated at its line end, a text block at the end of the text.
  Lexed quoted(std::string_view close, bool multiline, TokenKind kind) {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\\') {
        pos_ = pos_ + 2 < text_.size() ? pos_ + 2 : text_.size();
      } else if (c == close[0] && text_.compare(pos_, close.size(), close) == 0) {
        pos_ += close.size();
        return {kind, pos_, false, false};
      } else if (!multiline && (c == '\n' || c == '\r')) {
        break;
      } else {
        ++pos_;
      }
    }
    return {kind, pos_, true, false};
  }

  std::string_view text_;
  size_t pos_;
};

}  // namespace java

#endif  // JAVA_LEXER_H
