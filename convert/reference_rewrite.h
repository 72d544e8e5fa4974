// A literal rendering of the original rewriting, for tests only: a fixed
// room of size + 1000 bytes, zero-terminated text, searches that start
// again from 0, and class-name searches resuming one byte after each
// occurrence. The product must match it wherever it stays within its room.
#ifndef CONVERT_REFERENCE_REWRITE_H
#define CONVERT_REFERENCE_REWRITE_H

#include <optional>
#include <string>

namespace reference {

struct Result {
  std::string text;
  std::string trace;
};

// nullopt when the original would have run out of room (or its title
// buffer), where its behaviour is undefined.
std::optional<Result> rewrite(const std::string& source, const std::string& source_class,
                              const std::string& destination_class);

}  // namespace reference

#endif  // CONVERT_REFERENCE_REWRITE_H
