// The trace line every change of a conversion prints, in both modes:
// "LENGTH POSITION OLD-LENGTH NEW-LENGTH", the text's length before the
// change, where it is, and the lengths of what goes and what comes.
#ifndef CONVERT_TRACE_H
#define CONVERT_TRACE_H

#include <cstddef>
#include <iosfwd>

namespace convert {

// Trace lines into a stream, gathered so that the million of a big source
// cost a few writes; what is gathered goes out when it is destroyed.
class TraceWriter {
 public:
  explicit TraceWriter(std::ostream& out) : out_(out) {}
  ~TraceWriter() { flush(); }
  TraceWriter(const TraceWriter&) = delete;
  TraceWriter& operator=(const TraceWriter&) = delete;

  void line(size_t length, size_t position, size_t removed, size_t inserted);
  void flush();

 private:
  static constexpr size_t kLongestLine = 4 * 21;

  std::ostream& out_;
  char buffer_[1 << 16];
  size_t used_ = 0;
};

}  // namespace convert

#endif  // CONVERT_TRACE_H
