// Something a converter tells its user about the source, at a line of it:
// printed on standard error as FILE:LINE: note: TEXT.
#ifndef CONVERT_NOTE_H
#define CONVERT_NOTE_H

#include <cstddef>
#include <string>

namespace convert {

struct Note {
  size_t line;  // 1-based
  std::string text;
};

}  // namespace convert

#endif  // CONVERT_NOTE_H
