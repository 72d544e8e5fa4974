// Notes for the default conversion: where a source strays from the one
// layout the byte patterns fit, and so will not convert as its author
// would expect, say what was not recognised. Nothing when it fits.
#ifndef CONVERT_LAYOUT_NOTES_H
#define CONVERT_LAYOUT_NOTES_H

#include <string_view>
#include <vector>

#include "convert/default_layout.h"
#include "convert/note.h"

namespace java {
struct Program;
}

namespace convert {

// Where the layout's patterns are found in the program's text (see
// default_layout.h), apart so that its copy of the text need not live
// beside the analysis.
NoteList layout_notes(const java::Program& program, const layout::Matches& layout,
                      std::string_view source_class, std::string_view destination_class);
// Both found here.
NoteList layout_notes(std::string_view source, std::string_view source_class,
                      std::string_view destination_class);

}  // namespace convert

#endif  // CONVERT_LAYOUT_NOTES_H
