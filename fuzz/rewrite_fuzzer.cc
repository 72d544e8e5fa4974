// libFuzzer target over the rewriting. Input: one byte whose low six bits
// give the class name's length, whose bit 6 asks for the packager's
// renaming (with the lenient conversion, its launcher) and whose bit 7 for
// the lenient conversion; then the class name, then the source, which the
// lenient conversion first reads in the encoding it is found in.
//
// Checks: no crash, hang or sanitizer report; the output within the size
// the rewriting can reach; for the default rewriting, wherever the
// original algorithm stays in its room, the very same output and trace
// lines; for the lenient one, trace lines that follow the text, notes on
// lines that exist, and every line where it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "convert/layout_notes.h"
#include "convert/lenient.h"
#include "convert/reference_rewrite.h"
#include "convert/rewrite.h"
#include "convert/source_encoding.h"
#include "java/source.h"

namespace {

// Notes name lines from 1 to this, at the most.
size_t line_count(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n') + std::count(text.begin(), text.end(), '\r') +
         1;
}

// Lines as javac counts them: CR LF, LF or a lone CR ends one.
size_t java_lines(const std::string& text) { return java::Source(text).line_of(text.size()); }

void check_default(const std::string& source, const std::string& source_class,
                   const std::string& destination_class) {
  std::ostringstream trace;
  const std::string result =
      convert::rewrite_source(source, source_class, destination_class, trace);

  // Shrinking steps only shrink; the title adds its line once; each rename
  // starts at a distinct position of the text before it; the redirections
  // at most add 1 per 10 and 6 per 13 bytes.
  const size_t titled = source.size() + 27 + source_class.size();
  const size_t renamed = titled + (titled + 1) * (destination_class.size() - source_class.size());
  const size_t bound = renamed + renamed / 10 + 1 + (renamed + renamed / 10 + 1) * 6 / 13 + 1;
  if (result.size() > bound) std::abort();

  if (source.find('\0') == std::string::npos && source_class.find('\0') == std::string::npos) {
    if (auto expected = reference::rewrite(source, source_class, destination_class)) {
      if (expected->text != result || expected->trace != trace.str()) std::abort();
    }
  }
  for (const convert::Note& note :
       convert::layout_notes(source, source_class, destination_class).all())
    if (note.line < 1 || note.line > line_count(source)) std::abort();
}

void check_lenient(const std::string& bytes, const std::string& source_class,
                   const std::string& destination_class) {
  const std::string source = convert::to_utf8(bytes, convert::detect_encoding(bytes));
  if (source.size() > 4 * bytes.size()) std::abort();
  std::ostringstream trace;
  const bool launcher = destination_class != source_class;
  const convert::LenientResult result =
      convert::rewrite_lenient(source, source_class, destination_class, trace, launcher);

  // Each change replaces at most one token's bytes, or a whole line, by at
  // most the longest replacement; the title copies one indentation, and
  // the launcher names both classes.
  const size_t longest = std::max<size_t>(28, destination_class.size());
  const size_t bound = 2 * source.size() + (source.size() + 1) * longest + 200 +
                       2 * source_class.size() + 2 * destination_class.size();
  if (result.text.size() > bound) std::abort();

  std::istringstream lines(trace.str());
  size_t length = source.size(), next = 0;
  size_t len, pos, old_length, new_length;
  while (lines >> len >> pos >> old_length >> new_length) {
    if (len != length || pos < next || pos + old_length > length) std::abort();
    length = length - old_length + new_length;
    next = pos + new_length;
  }
  if (length != result.text.size()) std::abort();
  if (java_lines(result.text) != java_lines(source)) std::abort();

  for (const convert::Note& note : result.notes)
    if (note.line < 1 || note.line > line_count(source)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t class_length = std::min<size_t>(data[0] & 0x3f, size - 1);
  const bool rename = (data[0] & 0x40) != 0;
  const bool lenient = (data[0] & 0x80) != 0;
  const std::string source_class(reinterpret_cast<const char*>(data) + 1, class_length);
  const std::string destination_class = source_class + (rename ? "EnConsole" : "");
  const std::string source(reinterpret_cast<const char*>(data) + 1 + class_length,
                           size - 1 - class_length);
  if (lenient)
    check_lenient(source, source_class, destination_class);
  else
    check_default(source, source_class, destination_class);
  return 0;
}
