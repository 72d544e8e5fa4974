// The one layout the default rewriting fits, as its byte patterns: what
// the rewriting's steps search for and splice, and where, in a given text,
// those that look for the import, the reader field and the main header
// find them, which is what the notes explain.
#ifndef CONVERT_DEFAULT_LAYOUT_H
#define CONVERT_DEFAULT_LAYOUT_H

#include <cstddef>
#include <optional>
#include <string_view>

namespace convert::layout {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kTrailingBlank = " \r\n";
inline constexpr std::string_view kInputImport = "import java.io.*;\r\n\r\n";
inline constexpr std::string_view kReaderField =
    "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\r\n";
inline constexpr std::string_view kThrowsClause = " throws IOException";
inline constexpr std::string_view kMainMarker = " args) {\r\n";
inline constexpr std::string_view kTitleStart = "    Console.setTitle(\"";
inline constexpr std::string_view kTitleEnd = "\");\r\n";
inline constexpr std::string_view kOutput = "System.out";
inline constexpr std::string_view kConsoleOutput = "Console.out";
inline constexpr std::string_view kReadLine = "flux.readLine";
inline constexpr std::string_view kConsoleReadLine = "Console.in.readLine";

// Offsets into the text, where found.
struct Matches {
  std::optional<size_t> import;
  std::optional<size_t> field;
  std::optional<size_t> marker;
};

// Where the import, the reader field and the main marker are found by
// steps that search the text as the rewriting has it then: trailing
// blanks and throws clauses gone. Costs a copy of the text up to where all
// three are found: of all of it when one is missing.
Matches find_layout(std::string_view text);

}  // namespace convert::layout

#endif  // CONVERT_DEFAULT_LAYOUT_H
