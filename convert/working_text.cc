#include "convert/working_text.h"

#include "convert/trace.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <ostream>

namespace convert {

WorkingText::WorkingText(std::string text, std::ostream& trace)
    : buffer_(std::move(text)),
      gap_begin_(buffer_.size()),
      gap_end_(buffer_.size()),
      trace_(trace) {
  // Room the string has beyond its bytes is the first gap: no copy of the
  // text until the rewriting has grown it by that much.
  buffer_.resize(buffer_.capacity());
  gap_end_ = buffer_.size();
}

namespace {

// The pattern's byte to look for first: one seldom seen in a source (not a
// lower-case letter nor a blank), so that few candidates need comparing.
size_t anchor_of(std::string_view pattern) {
  for (size_t i = 0; i < pattern.size(); ++i)
    if (pattern[i] != ' ' && !(pattern[i] >= 'a' && pattern[i] <= 'z')) return i;
  return 0;
}

}  // namespace

size_t WorkingText::find_from(std::string_view pattern, size_t start) {
  size_t len = length();
  if (pattern.size() > len || start > len - pattern.size()) return npos;
  // Searching happens right of the gap; callers resume close behind their
  // last splice, so this move is short.
  if (start < gap_begin_) move_gap_to(start);
  if (pattern.empty()) return start;
  const char* right = buffer_.data() + gap_end_;
  const size_t size = buffer_.size() - gap_end_;
  const size_t anchor = anchor_of(pattern);
  // Candidates in increasing order: the first match found is the first.
  for (size_t i = start - gap_begin_ + anchor; i < size;) {
    const void* hit = std::memchr(right + i, pattern[anchor], size - i);
    if (!hit) return npos;
    const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - right) - anchor;
    if (at + pattern.size() > size) return npos;
    if (std::memcmp(right + at, pattern.data(), pattern.size()) == 0) return gap_begin_ + at;
    i = at + anchor + 1;
  }
  return npos;
}

void WorkingText::splice_shrink(std::string_view pattern,
                                std::string_view replacement, size_t pos) {
  assert(replacement.size() <= pattern.size());
  splice(pos, pattern.size(), replacement);
}

void WorkingText::splice_grow(std::string_view pattern,
                              std::string_view replacement, size_t pos) {
  assert(replacement.size() >= pattern.size());
  splice(pos, pattern.size(), replacement);
}

void WorkingText::splice(size_t pos, size_t count, std::string_view replacement) {
  trace_.line(length(), pos, count, replacement.size());

  assert(pos <= length() && count <= length() - pos);
  move_gap_to(pos);
  gap_end_ += count;
  reserve_gap(replacement.size());
  if (!replacement.empty())
    std::memcpy(&buffer_[gap_begin_], replacement.data(), replacement.size());
  gap_begin_ += replacement.size();
}

void WorkingText::move_gap_to(size_t pos) {
  if (pos < gap_begin_) {
    size_t n = gap_begin_ - pos;
    std::memmove(&buffer_[gap_end_ - n], &buffer_[pos], n);
    gap_begin_ -= n;
    gap_end_ -= n;
  } else if (pos > gap_begin_) {
    size_t n = pos - gap_begin_;
    std::memmove(&buffer_[gap_begin_], &buffer_[gap_end_], n);
    gap_begin_ += n;
    gap_end_ += n;
  }
}

void WorkingText::reserve_gap(size_t size) {
  if (gap_end_ - gap_begin_ >= size) return;
  size_t right = buffer_.size() - gap_end_;
  size_t gap = std::max(size, length() / 2 + 256);
  std::string grown(gap_begin_ + gap + right, '\0');
  std::memcpy(&grown[0], buffer_.data(), gap_begin_);
  std::memcpy(&grown[gap_begin_ + gap], buffer_.data() + gap_end_, right);
  buffer_ = std::move(grown);
  gap_end_ = gap_begin_ + gap;
}

std::string WorkingText::release() && {
  trace_.flush();
  move_gap_to(length());
  buffer_.resize(gap_begin_);
  return std::move(buffer_);
}

}  // namespace convert
