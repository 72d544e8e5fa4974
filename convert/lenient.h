// The lenient conversion: the same changes as the default rewriting, made
// on the tokens of the program rather than on fixed byte patterns, so that
// other layouts and line ends convert too, and nothing inside comments or
// literals changes. Its aim: the result compiles against the console
// library and prints what the original prints.
#ifndef CONVERT_LENIENT_H
#define CONVERT_LENIENT_H

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "convert/note.h"

namespace convert {

struct LenientResult {
  std::string text;
  std::vector<Note> notes;
};

struct JavaProgram;

// Prints one trace line per change to `trace`, in the order of the text.
LenientResult rewrite_lenient(const JavaProgram& program, std::string_view source_class,
                              std::string_view destination_class, std::ostream& trace);
LenientResult rewrite_lenient(std::string_view source, std::string_view source_class,
                              std::string_view destination_class, std::ostream& trace);

}  // namespace convert

#endif  // CONVERT_LENIENT_H
