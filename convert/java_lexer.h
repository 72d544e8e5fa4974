// A small Java lexer, enough to tell code from comments and literals and
// to match brackets. It never fails: any byte it does not know becomes a
// one-byte token, and an unterminated comment or literal runs to the end
// of the file (a block comment, a text block) or of its line (a string or
// character literal). Unicode escapes (\u0066) that spell identifier
// characters are part of the identifier, as javac reads them.
#ifndef CONVERT_JAVA_LEXER_H
#define CONVERT_JAVA_LEXER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace convert {

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

// Small, as a source has about one token per three bytes.
struct Token {
  uint32_t begin;
  uint32_t end;
  TokenKind kind;
  bool unterminated = false;
  bool escaped = false;  // an identifier spelled with Unicode escapes
};

// The name an identifier spelled with Unicode escapes stands for, in
// UTF-8; its text unchanged when it has none.
std::string decode_identifier(std::string_view spelled);

// The largest text the offsets can hold.
inline constexpr size_t kMaxLexedSize = UINT32_MAX;

// Empty for a text larger than kMaxLexedSize.
std::vector<Token> lex_java(std::string_view text);

// Whether the token is code (not whitespace or a comment).
inline bool is_code(const Token& token) {
  return token.kind != TokenKind::whitespace && token.kind != TokenKind::line_comment &&
         token.kind != TokenKind::block_comment;
}

}  // namespace convert

#endif  // CONVERT_JAVA_LEXER_H
