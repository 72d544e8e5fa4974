#include "java/lexer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace java {
namespace {

struct Token {
  size_t begin, end;
  TokenKind kind;
  bool unterminated, escaped;
};

// Every token of the text, whitespace and comments included.
std::vector<Token> lex_java(std::string_view text) {
  std::vector<Token> tokens;
  for (Lexer lexer(text); !lexer.done();) {
    const size_t begin = lexer.position();
    const Lexed t = lexer.next();
    tokens.push_back({begin, t.end, t.kind, t.unterminated, t.escaped});
  }
  return tokens;
}

// "kind:text" for every token but whitespace.
std::vector<std::string> lexed(std::string_view text) {
  std::vector<std::string> out;
  for (const Token& t : lex_java(text)) {
    if (t.kind == TokenKind::whitespace) continue;
    const char* kind = t.kind == TokenKind::line_comment     ? "line"
                       : t.kind == TokenKind::block_comment  ? "block"
                       : t.kind == TokenKind::string_literal ? "string"
                       : t.kind == TokenKind::text_block     ? "textblock"
                       : t.kind == TokenKind::identifier     ? "id"
                       : t.kind == TokenKind::number         ? "num"
                                                             : "punct";
    out.push_back(std::string(kind) + (t.unterminated ? "!" : "") + ":" +
                  std::string(text.substr(t.begin, t.end - t.begin)));
  }
  return out;
}

using Tokens = std::vector<std::string>;

TEST(JavaLexer, CommentsAndLiteralsHideWhatLooksLikeCode) {
  EXPECT_EQ(lexed("a // System.out\r\nb"), (Tokens{"id:a", "line:// System.out", "id:b"}));
  EXPECT_EQ(lexed("/* flux.readLine() */x"), (Tokens{"block:/* flux.readLine() */", "id:x"}));
  EXPECT_EQ(lexed(R"("a \" // b" 'x' '\'' "\\")"),
            (Tokens{R"(string:"a \" // b")", "string:'x'", R"(string:'\'')", R"(string:"\\")"}));
  EXPECT_EQ(lexed("\"\"\"\n  System.out \"\" \\\"\"\" \"\"\"x"),
            (Tokens{"textblock:\"\"\"\n  System.out \"\" \\\"\"\" \"\"\"", "id:x"}));
  EXPECT_EQ(lexed("\"\"+x"), (Tokens{"string:\"\"", "punct:+", "id:x"}));
}

TEST(JavaLexer, NamesNumbersAndPunctuation) {
  EXPECT_EQ(lexed("$a_1 caf\xc3\xa9 3.5e-2f 0x1F .5 a.b(c)"),
            (Tokens{"id:$a_1", "id:caf\xc3\xa9", "num:3.5e-2f", "num:0x1F", "num:.5", "id:a",
                    "punct:.", "id:b", "punct:(", "id:c", "punct:)"}));
  EXPECT_EQ(lexed("1-2"), (Tokens{"num:1", "punct:-", "num:2"}));
}

// As javac reads them: an escape spelling an identifier character belongs
// to the identifier; others stay apart.
TEST(JavaLexer, UnicodeEscapesSpellingNamesArePartOfThem) {
  EXPECT_EQ(lexed("\\u0066lux.x \\uuu0053ystem a\\u00e9 \\u002e \\u00"),
            (Tokens{"id:\\u0066lux", "punct:.", "id:x", "id:\\uuu0053ystem", "id:a\\u00e9",
                    "punct:\\", "id:u002e", "punct:\\", "id:u00"}));
  auto tokens = lex_java("\\u0066lux flux");
  EXPECT_TRUE(tokens[0].escaped);
  EXPECT_FALSE(tokens[2].escaped);
  EXPECT_EQ(decode_identifier("\\u0066lu\\u0078"), "flux");
  EXPECT_EQ(decode_identifier("caf\\u00e9\\u20ac"), "caf\xc3\xa9\xe2\x82\xac");
}

TEST(JavaLexer, UnterminatedPiecesEndAtTheirLineOrTheText) {
  EXPECT_EQ(lexed("\"open\nx"), (Tokens{"string!:\"open", "id:x"}));
  EXPECT_EQ(lexed("'\\"), (Tokens{"string!:'\\"}));
  EXPECT_EQ(lexed("a /* never closed\n}"), (Tokens{"id:a", "block!:/* never closed\n}"}));
  EXPECT_EQ(lexed("\"\"\"\nno end"), (Tokens{"textblock!:\"\"\"\nno end"}));
}

// Whatever the bytes, the tokens cover them exactly, in order.
TEST(JavaLexer, TokensTileAnyInput) {
  std::mt19937 random(99);
  const char letters[] = "ab1 \t\r\n\"'\\/*{}().;\0\xff\xc3";
  const std::string alphabet(letters, sizeof letters - 1);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int i = static_cast<int>(random() % 80); i > 0; --i)
      text += alphabet[random() % alphabet.size()];
    size_t at = 0;
    for (const Token& t : lex_java(text)) {
      ASSERT_EQ(t.begin, at) << text;
      ASSERT_GT(t.end, t.begin) << text;
      at = t.end;
    }
    ASSERT_EQ(at, text.size()) << text;
  }
}

}  // namespace
}  // namespace java
