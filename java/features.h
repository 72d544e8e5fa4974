// The newest Java a program needs, as far as its tokens show: language
// features (var, switch rules, text blocks, records, instanceof patterns)
// and library calls (List.of, String.repeat, ...) that javac rejects when
// asked for an older release.
#ifndef JAVA_FEATURES_H
#define JAVA_FEATURES_H

#include <cstddef>
#include <optional>
#include <string>

#include "java/structure.h"

namespace java {

struct LanguageFeature {
  int release;       // the first Java release that has it
  std::string name;  // as a note names it: 'var', a text block, String.repeat
  size_t line;       // where it is first used, 1-based
};

// The feature that needs the newest release, first use first; nullopt
// when nothing newer than Java 8 shows.
std::optional<LanguageFeature> newest_feature(const Program& program);

}  // namespace java

#endif  // JAVA_FEATURES_H
