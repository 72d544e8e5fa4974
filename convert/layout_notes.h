// Notes for the default conversion: where a source strays from the one
// layout the byte patterns fit, and so will not convert as its author
// would expect, say what was not recognised. Nothing when it fits.
#ifndef CONVERT_LAYOUT_NOTES_H
#define CONVERT_LAYOUT_NOTES_H

#include <string_view>
#include <vector>

#include "convert/note.h"

namespace convert {

struct JavaProgram;

std::vector<Note> layout_notes(const JavaProgram& program, std::string_view source_class,
                               std::string_view destination_class);
std::vector<Note> layout_notes(std::string_view source, std::string_view source_class,
                               std::string_view destination_class);

}  // namespace convert

#endif  // CONVERT_LAYOUT_NOTES_H
