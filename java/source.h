// A Java source as its code tokens: where each is, what kind it is, the
// brackets matched, the lines. Whitespace and comments are not stored (the
// gaps between code tokens hold them, and a lexer can be run over a gap),
// and a token's kind and length share a byte, so a source costs about six
// bytes per code token: a big one is analysed without paging through
// memory it does not need.
#ifndef JAVA_SOURCE_H
#define JAVA_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "java/lexer.h"

namespace java {

// A code token index, or a position, that is none.
inline constexpr uint32_t kNone = UINT32_MAX;

// The largest text the offsets can hold.
inline constexpr size_t kMaxLexedSize = UINT32_MAX - 1;

class Source {
 public:
  // The text must outlive the source.
  explicit Source(std::string_view text);

  // Over kMaxLexedSize: not looked at, as if empty.
  bool too_large() const { return text_.size() > kMaxLexedSize; }
  std::string_view text() const { return text_; }

  // Code tokens, 0 to size() - 1.
  size_t size() const { return begin_.size(); }
  uint32_t begin(size_t c) const { return begin_[c]; }
  uint32_t end(size_t c) const {
    const uint8_t length = meta_[c] >> kKindBits;
    return length != kLong ? begin_[c] + length : long_end(c);
  }
  TokenKind kind(size_t c) const {
    const uint8_t kind = meta_[c] & kKindMask;
    return kind == kEscapedIdentifier ? TokenKind::identifier
                                      : static_cast<TokenKind>(kind + kFirstCodeKind);
  }
  bool escaped(size_t c) const { return (meta_[c] & kKindMask) == kEscapedIdentifier; }

  // The token's text, the name it stands for when spelled with Unicode
  // escapes; "" past either end.
  std::string_view word(size_t c) const {
    if (c >= size()) return {};
    if (escaped(c)) return decoded_.at(static_cast<uint32_t>(c));
    return text_.substr(begin_[c], end(c) - begin_[c]);
  }
  bool is(size_t c, std::string_view w) const {
    if (c >= size()) return false;
    if ((meta_[c] >> kKindBits) == w.size() &&
        std::memcmp(text_.data() + begin_[c], w.data(), w.size()) == 0)
      return true;
    return escaped(c) && decoded_.at(static_cast<uint32_t>(c)) == w;
  }
  bool is_identifier(size_t c) const { return c < size() && kind(c) == TokenKind::identifier; }

  // The matching bracket of ( ) [ ] { }, or kNone.
  uint32_t match(size_t c) const {
    if (!bit(brackets_, c)) return kNone;
    const uint64_t below = brackets_[c / 64] & ((uint64_t{1} << (c % 64)) - 1);
    return matches_[bracket_rank_[c / 64] + static_cast<size_t>(__builtin_popcountll(below))];
  }
  bool balanced() const { return balanced_; }

  // 1-based line of a byte offset; any of CR LF, LF and CR ends a line.
  size_t line_of(size_t offset) const;
  // Byte offset where a 1-based line starts (the text's size past the end).
  size_t line_start(size_t line) const;

  // The first comment or literal that is not closed.
  struct Unterminated {
    TokenKind kind;
    size_t offset;
  };
  std::optional<Unterminated> first_unterminated() const { return unterminated_; }

 private:
  // A token's byte: its kind in the low bits (a code TokenKind from the
  // first, or an identifier spelled with escapes), its length above, kLong
  // when it is longer.
  static constexpr int kKindBits = 3;
  static constexpr uint8_t kKindMask = (1 << kKindBits) - 1;
  static constexpr uint8_t kFirstCodeKind = static_cast<uint8_t>(TokenKind::string_literal);
  static constexpr uint8_t kEscapedIdentifier =
      static_cast<uint8_t>(TokenKind::punctuation) - kFirstCodeKind + 1;
  static constexpr uint8_t kLong = 0xFF >> kKindBits;

  static bool bit(const std::vector<uint64_t>& bits, size_t c) {
    return (bits[c / 64] >> (c % 64)) & 1;
  }
  uint32_t long_end(size_t c) const;

  std::string_view text_;
  std::vector<uint32_t> begin_;
  std::vector<uint8_t> meta_;
  std::vector<std::pair<uint32_t, uint32_t>> long_ends_;  // token, end
  std::vector<uint64_t> brackets_;                        // a bit per token
  std::vector<uint32_t> bracket_rank_;                    // brackets before each 64 tokens
  std::vector<uint32_t> matches_;                         // per bracket, in order
  std::vector<uint32_t> line_starts_;
  std::unordered_map<uint32_t, std::string> decoded_;
  std::optional<Unterminated> unterminated_;
  bool balanced_ = true;
};

}  // namespace java

#endif  // JAVA_SOURCE_H
