// The encoding a Java source was saved in, as editors save them: UTF-8
// with or without a byte order mark, UTF-16 with one (Notepad's
// "Unicode"), and otherwise windows-1252, what Windows editors wrote for
// years. javac reads UTF-8 without a mark, so the others are turned into
// that for the compile.
#ifndef CONVERT_SOURCE_ENCODING_H
#define CONVERT_SOURCE_ENCODING_H

#include <string>
#include <string_view>

namespace convert {

enum class SourceEncoding { utf8, utf8_bom, utf16le, utf16be, windows1252 };

// By the byte order mark, else by whether the bytes are valid UTF-8.
SourceEncoding detect_encoding(std::string_view bytes);

// The text in UTF-8, without a byte order mark. Nothing is lost: a
// windows-1252 byte with no character of its own becomes the C1 control
// of its value, and a UTF-16 code unit that pairs with nothing (or a last
// odd byte) U+FFFD, which javac then names.
std::string to_utf8(std::string_view bytes, SourceEncoding encoding);

// As a note names it: "UTF-8 with a byte order mark", "windows-1252", ...
std::string_view encoding_name(SourceEncoding encoding);

// Whether the text has any byte outside ASCII.
bool has_non_ascii(std::string_view text);

}  // namespace convert

#endif  // CONVERT_SOURCE_ENCODING_H
