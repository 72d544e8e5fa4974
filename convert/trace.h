// The trace line every change of a conversion prints, in both modes:
// "LENGTH POSITION OLD-LENGTH NEW-LENGTH", the text's length before the
// change, where it is, and the lengths of what goes and what comes.
#ifndef CONVERT_TRACE_H
#define CONVERT_TRACE_H

#include <cstddef>
#include <iosfwd>

namespace convert {

void write_trace_line(std::ostream& trace, size_t length, size_t position, size_t removed,
                      size_t inserted);

}  // namespace convert

#endif  // CONVERT_TRACE_H
