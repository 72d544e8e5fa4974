// Something a converter tells its user about the source, at a line of it:
// printed on standard error as FILE:LINE: note: TEXT.
#ifndef CONVERT_NOTE_H
#define CONVERT_NOTE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace convert {

struct Note {
  size_t line;  // 1-based
  std::string text;
};

// Notes, each text kept once however often it recurs: a big source may
// have tens of thousands of notes of a few kinds.
class NoteList {
 public:
  void add(size_t line, const std::string& text);
  // In the order of their lines, notes of one line in the order added.
  void sort();

  size_t size() const { return notes_.size(); }
  bool empty() const { return notes_.empty(); }
  size_t line(size_t i) const { return notes_[i].first; }
  const std::string& text(size_t i) const { return texts_[notes_[i].second]; }
  std::vector<Note> all() const;

 private:
  std::vector<std::pair<uint32_t, uint32_t>> notes_;  // line, text
  std::vector<std::string> texts_;
  std::unordered_map<std::string, uint32_t> index_;
};

}  // namespace convert

#endif  // CONVERT_NOTE_H
