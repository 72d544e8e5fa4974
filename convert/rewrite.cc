#include "convert/rewrite.h"

#include "convert/default_layout.h"
#include "convert/working_text.h"

namespace convert {
namespace {

using namespace layout;

// A splice in whichever direction the lengths call for.
void splice(WorkingText& text, std::string_view pattern, std::string_view replacement,
            size_t pos) {
  if (replacement.size() <= pattern.size())
    text.splice_shrink(pattern, replacement, pos);
  else
    text.splice_grow(pattern, replacement, pos);
}

// Replaces every occurrence as searching again from position 0 after each
// splice would. Nothing before the splice at p matched, so a new match must
// overlap the changed bytes and the search may resume at p - n + 1.
void replace_all(WorkingText& text, std::string_view pattern,
                 std::string_view replacement) {
  size_t pos = text.find_first(pattern);
  while (pos != WorkingText::npos) {
    splice(text, pattern, replacement, pos);
    size_t back = pattern.size() - 1;
    pos = text.find_from(pattern, pos > back ? pos - back : 0);
  }
}

void remove_first(WorkingText& text, std::string_view pattern) {
  size_t pos = text.find_first(pattern);
  if (pos != WorkingText::npos) text.splice_shrink(pattern, "", pos);
}

void insert_title(WorkingText& text, std::string_view source_class) {
  size_t pos = text.find_first(kMainMarker);
  if (pos == WorkingText::npos) return;
  std::string title(kMainMarker);
  title += kTitleStart;
  title += source_class;
  title += kTitleEnd;
  text.splice_grow(kMainMarker, title, pos);
}

// Renames every occurrence of the source class not preceded by a double
// quote, resuming one byte after each occurrence. Occurrences lying wholly
// inside a destination name just inserted are passed over: the name would
// otherwise be found again inside its own replacement (Console, C, on...)
// and grow without end. No other occurrence is affected by that rule.
void rename_class(WorkingText& text, std::string_view source_class,
                  std::string_view destination_class) {
  const size_t n = source_class.size();
  size_t inserted_begin = WorkingText::npos;
  size_t inserted_end = 0;
  size_t resume = 0;
  for (;;) {
    size_t pos = text.find_from(source_class, resume);
    if (pos == WorkingText::npos) break;
    resume = pos + 1;
    bool inside_inserted = inserted_begin != WorkingText::npos &&
                           pos > inserted_begin && pos + n <= inserted_end;
    if (inside_inserted || (pos > 0 && text.at(pos - 1) == '"')) continue;
    splice(text, source_class, destination_class, pos);
    inserted_begin = pos;
    inserted_end = pos + destination_class.size();
  }
}

}  // namespace

std::string rewrite_source(std::string source, std::string_view source_class,
                           std::string_view destination_class,
                           std::ostream& trace) {
  WorkingText text(std::move(source), trace);
  replace_all(text, kTrailingBlank, kLineEnd);
  remove_first(text, kInputImport);
  remove_first(text, kReaderField);
  replace_all(text, kThrowsClause, "");
  insert_title(text, source_class);
  rename_class(text, source_class, destination_class);
  replace_all(text, kOutput, kConsoleOutput);
  replace_all(text, kReadLine, kConsoleReadLine);
  return std::move(text).release();
}

}  // namespace convert
