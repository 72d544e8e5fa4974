#include "convert/note.h"

#include <algorithm>

namespace convert {

void NoteList::add(size_t line, const std::string& text) {
  auto [it, added] = index_.emplace(text, static_cast<uint32_t>(texts_.size()));
  if (added) texts_.push_back(text);
  notes_.push_back({static_cast<uint32_t>(line), it->second});
}

void NoteList::sort() {
  std::stable_sort(notes_.begin(), notes_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

std::vector<Note> NoteList::all() const {
  std::vector<Note> all;
  for (size_t i = 0; i < size(); ++i) all.push_back({line(i), text(i)});
  return all;
}

}  // namespace convert
