#include "java/source.h"

#include <algorithm>

namespace java {
namespace {

char closing_of(char open) { return open == '(' ? ')' : open == '[' ? ']' : '}'; }

bool is_bracket(char c) {
  return c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}';
}

}  // namespace

Source::Source(std::string_view text) : text_(text) {
  if (too_large()) return;
  // About one code token in four bytes; capacity not reached costs no memory.
  const size_t estimate = text.size() / 3 + 16;
  begin_.reserve(estimate);
  meta_.reserve(estimate);
  std::vector<uint32_t> open;  // brackets still open, by token
  std::vector<uint32_t> open_rank;
  const char* data = text.data();
  for (Lexer lexer(text); !lexer.done();) {
    const size_t begin = lexer.position();
    const Lexed token = lexer.next();
    if (token.unterminated && !unterminated_) unterminated_ = Unterminated{token.kind, begin};
    if (!is_code(token.kind)) continue;
    // The token: where it begins, its kind and length in a byte.
    const uint32_t c = static_cast<uint32_t>(begin_.size());
    begin_.push_back(static_cast<uint32_t>(begin));
    const size_t length = token.end - begin;
    uint8_t meta = token.escaped
                       ? kEscapedIdentifier
                       : static_cast<uint8_t>(static_cast<uint8_t>(token.kind) - kFirstCodeKind);
    if (length < kLong) {
      meta |= static_cast<uint8_t>(length << kKindBits);
    } else {
      meta |= kLong << kKindBits;
      long_ends_.push_back({c, static_cast<uint32_t>(token.end)});
    }
    meta_.push_back(meta);
    if (c % 64 == 0) brackets_.push_back(0);
    if (token.escaped) decoded_[c] = decode_identifier(text.substr(begin, length));
    if (token.kind != TokenKind::punctuation || !is_bracket(data[begin])) continue;
    brackets_[c / 64] |= uint64_t{1} << (c % 64);
    const uint32_t rank = static_cast<uint32_t>(matches_.size());
    matches_.push_back(kNone);
    const char p = data[begin];
    if (p == '(' || p == '[' || p == '{') {
      open.push_back(c);
      open_rank.push_back(rank);
    } else if (open.empty() || closing_of(data[begin_[open.back()]]) != p) {
      // A stray closer does not close anything it does not match.
      balanced_ = false;
    } else {
      matches_[rank] = open.back();
      matches_[open_rank.back()] = c;
      open.pop_back();
      open_rank.pop_back();
    }
  }
  if (!open.empty()) balanced_ = false;
  // The brackets before each run of 64 tokens, for match().
  bracket_rank_.reserve(brackets_.size());
  uint32_t rank = 0;
  for (uint64_t bits : brackets_) {
    bracket_rank_.push_back(rank);
    rank += static_cast<uint32_t>(__builtin_popcountll(bits));
  }

  line_starts_.push_back(0);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = data[i];
    if (c == '\n' || (c == '\r' && (i + 1 == text.size() || data[i + 1] != '\n')))
      line_starts_.push_back(static_cast<uint32_t>(i + 1));
  }
}

uint32_t Source::long_end(size_t c) const {
  auto it = std::lower_bound(long_ends_.begin(), long_ends_.end(),
                             std::make_pair(static_cast<uint32_t>(c), uint32_t{0}));
  return it->second;
}

size_t Source::line_start(size_t line) const {
  return line >= 1 && line <= line_starts_.size() ? line_starts_[line - 1] : text_.size();
}

size_t Source::line_of(size_t offset) const {
  return static_cast<size_t>(std::upper_bound(line_starts_.begin(), line_starts_.end(), offset) -
                             line_starts_.begin());
}

}  // namespace java
