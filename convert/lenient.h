// The lenient conversion: the same changes as the default rewriting, made
// on the tokens of the program rather than on fixed byte patterns, so that
// other layouts and line ends convert too, and nothing inside comments or
// literals changes. Its aim: the result compiles against the console
// library and prints what the original prints.
//
// The changes are planned on the analysed program, then applied to its
// text once the analysis is gone, so the two never take memory together.
#ifndef CONVERT_LENIENT_H
#define CONVERT_LENIENT_H

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "convert/note.h"

namespace java {
struct Program;
}

namespace convert {

class LenientPlan {
 public:
  // What the reader should know, by line.
  NoteList notes;

  // The text the plan was made on, changed; one trace line per change to
  // `trace`, in the order of the text.
  std::string apply(std::string_view text, std::ostream& trace) const;

  // One change: bytes begin..end replaced by one of a few texts.
  enum class Text : uint8_t {
    nothing,
    console_in,
    console,
    destination_class,
    title,
    unchecked,
    launcher
  };
  struct Edit {
    uint32_t begin;
    uint32_t end;
    Text replacement;
  };

 private:
  friend class LenientPlanner;
  std::string_view replacement(Text text) const;

  std::vector<Edit> edits_;
  std::string destination_class_;
  std::string title_;
  std::string launcher_;
};

// With `launcher`, the packager's way: the program's classes keep their
// names, so that what it prints of them is the original's, and the
// destination class is a small class of its own at the end of the text
// that calls the program's main.
LenientPlan plan_lenient(const java::Program& program, std::string_view source_class,
                         std::string_view destination_class, bool launcher = false);

// A class `launcher` whose main sets the title `title`, then calls the main
// of `launched` (qualified with its package): directly when it is
// `accessible` from the unnamed package, else through reflection. One line.
std::string launcher_class(std::string_view launcher, std::string_view launched,
                           std::string_view title, bool accessible);

// `text` as a Java string literal: a control character as an octal
// escape, which adds no line.
std::string java_string_literal(std::string_view text);

// Both at once, for a text not analysed yet.
struct LenientResult {
  std::string text;
  std::vector<Note> notes;
};
LenientResult rewrite_lenient(std::string_view source, std::string_view source_class,
                              std::string_view destination_class, std::ostream& trace,
                              bool launcher = false);

}  // namespace convert

#endif  // CONVERT_LENIENT_H
