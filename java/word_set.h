// A fixed set of words asked about for most tokens of a source: a word is
// compared only with those of its first byte and length.
#ifndef JAVA_WORD_SET_H
#define JAVA_WORD_SET_H

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace java {

class WordSet {
 public:
  WordSet(std::initializer_list<std::string_view> words) {
    for (std::string_view word : words)
      if (!word.empty()) by_first_[static_cast<unsigned char>(word[0])].push_back(word);
  }

  bool contains(std::string_view word) const {
    if (word.empty()) return false;
    for (std::string_view candidate : by_first_[static_cast<unsigned char>(word[0])])
      if (candidate.size() == word.size() && candidate == word) return true;
    return false;
  }

 private:
  std::array<std::vector<std::string_view>, 256> by_first_;
};

}  // namespace java

#endif  // JAVA_WORD_SET_H
