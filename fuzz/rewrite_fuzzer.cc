// libFuzzer target over the rewriting. Input: one byte whose low six bits
// give the class name's length and whose bit 6 asks for the packager's
// renaming, then the class name, then the source.
//
// Checks: no crash or sanitizer report; the output within the size that
// the rewriting can reach; and, wherever the original algorithm stays in
// its room, the very same output and trace lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "convert/reference_rewrite.h"
#include "convert/rewrite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t class_length = std::min<size_t>(data[0] & 0x3f, size - 1);
  const bool rename = (data[0] & 0x40) != 0;
  const std::string source_class(reinterpret_cast<const char*>(data) + 1, class_length);
  const std::string destination_class = source_class + (rename ? "EnConsole" : "");
  const std::string source(reinterpret_cast<const char*>(data) + 1 + class_length,
                           size - 1 - class_length);

  std::ostringstream trace;
  const std::string result =
      convert::rewrite_source(source, source_class, destination_class, trace);

  // Shrinking steps only shrink; the title adds its line once; each rename
  // starts at a distinct position of the text before it; the redirections
  // at most add 1 per 10 and 6 per 13 bytes.
  const size_t titled = source.size() + 27 + class_length;
  const size_t renamed =
      titled + (titled + 1) * (destination_class.size() - source_class.size());
  const size_t bound = renamed + renamed / 10 + 1 + (renamed + renamed / 10 + 1) * 6 / 13 + 1;
  if (result.size() > bound) std::abort();

  if (source.find('\0') == std::string::npos &&
      source_class.find('\0') == std::string::npos) {
    if (auto expected = reference::rewrite(source, source_class, destination_class)) {
      if (expected->text != result || expected->trace != trace.str()) std::abort();
    }
  }
  return 0;
}
