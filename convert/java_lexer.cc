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

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  std::vector<Token> run() {
    // Untouched capacity costs no memory; growing by copies would.
    tokens_.reserve(text_.size() / 2 + 16);
    while (pos_ < text_.size()) {
      const size_t begin = pos_;
      TokenKind kind = next();
      tokens_.push_back(
          {static_cast<uint32_t>(begin), static_cast<uint32_t>(pos_), kind, unterminated_});
      unterminated_ = false;
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
    if (is_identifier_start(c)) {
      while (pos_ < text_.size() && is_identifier_part(at(pos_))) ++pos_;
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
  std::vector<Token> tokens_;
};

}  // namespace

std::vector<Token> lex_java(std::string_view text) {
  if (text.size() > kMaxLexedSize) return {};
  return Lexer(text).run();
}

}  // namespace convert
