#include "convert/trace.h"

#include <charconv>
#include <ostream>

namespace convert {

void write_trace_line(std::ostream& trace, size_t length, size_t position, size_t removed,
                      size_t inserted) {
  // A million of them for a big source: no formatting through the stream.
  char line[4 * 24];
  char* end = line;
  for (size_t number : {length, position, removed, inserted}) {
    end = std::to_chars(end, line + sizeof line, number).ptr;
    *end++ = ' ';
  }
  end[-1] = '\n';
  trace.write(line, end - line);
}

}  // namespace convert
