// The text being rewritten: a sized byte string (zero bytes are ordinary
// bytes) held in a gap buffer, so that a run of searches and splices that
// moves forward through the text costs time linear in its length.
#ifndef CONVERT_WORKING_TEXT_H
#define CONVERT_WORKING_TEXT_H

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

#include "convert/trace.h"

namespace convert {

class WorkingText {
 public:
  static constexpr size_t npos = std::string::npos;

  // Every splice prints its trace line to `trace`.
  WorkingText(std::string text, std::ostream& trace);

  size_t length() const { return gap_begin_ + (buffer_.size() - gap_end_); }
  char at(size_t pos) const {
    return pos < gap_begin_ ? buffer_[pos] : buffer_[pos + gap_end_ - gap_begin_];
  }

  // Position of the first occurrence of `pattern`, or npos.
  size_t find_first(std::string_view pattern) { return find_from(pattern, 0); }
  // Position of the first occurrence at or after `start`, or npos.
  size_t find_from(std::string_view pattern, size_t start);

  // Replace the pattern.size() bytes at `pos` (not checked to hold the
  // pattern) by `replacement`, printing the trace line
  // "<length> <pos> <pattern length> <replacement length>" first.
  // splice_shrink is for replacements no longer than the pattern,
  // splice_grow for those no shorter.
  void splice_shrink(std::string_view pattern, std::string_view replacement,
                     size_t pos);
  void splice_grow(std::string_view pattern, std::string_view replacement,
                   size_t pos);

  std::string release() &&;

 private:
  void splice(size_t pos, size_t count, std::string_view replacement);
  void move_gap_to(size_t pos);
  void reserve_gap(size_t size);

  std::string buffer_;
  size_t gap_begin_;
  size_t gap_end_;
  TraceWriter trace_;
};

}  // namespace convert

#endif  // CONVERT_WORKING_TEXT_H
