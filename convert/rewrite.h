// The textual rewriting of a console Java program into one for the console
// class library.
#ifndef CONVERT_REWRITE_H
#define CONVERT_REWRITE_H

#include <iosfwd>
#include <string>
#include <string_view>

namespace convert {

// Applies the eight rewriting steps, in their fixed order, to `text` and
// returns the result. Each splice prints its trace line to `trace`.
std::string rewrite_source(std::string text, std::string_view source_class,
                           std::string_view destination_class,
                           std::ostream& trace);

}  // namespace convert

#endif  // CONVERT_REWRITE_H
