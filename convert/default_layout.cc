#include "convert/default_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace convert::layout {
namespace {

// The text as the rewriting has it when it looks for the import, the field
// and the main marker: trailing blanks gone (the first step), then throws
// clauses gone (a later one, so blanks they leave before a line end stay),
// made in one pass that stops once all three are found; and how to find
// one of its offsets in the text it was made from.
class Searched {
 public:
  explicit Searched(std::string_view text) {
    text_.reserve(std::min(text.size(), kCheckEvery));
    const char* data = text.data();
    const size_t n = text.size();
    // The next line end and the next throws clause of the text: what lies
    // before both is copied at once.
    auto find_cr = [&](size_t from) {
      const void* at = std::memchr(data + from, '\r', n - from);
      return at ? static_cast<size_t>(static_cast<const char*>(at) - data) : n;
    };
    auto find_clause = [&](size_t from) {
      const size_t at = text.find(kThrowsClause, from);
      return at == std::string_view::npos ? n : at;
    };
    size_t removed = 0;
    size_t kept = 0;  // what a throws clause's removal left: no longer trailing blanks
    size_t next_cr = find_cr(0), next_clause = find_clause(0);
    for (size_t i = 0; i < n;) {
      if (next_cr < i) next_cr = find_cr(i);
      if (next_clause < i) next_clause = find_clause(i);
      const size_t stop = std::min(next_cr, next_clause);
      text_.append(data + i, stop - i);
      i = stop;
      if (i == n) break;
      if (i == next_clause) {
        i += kThrowsClause.size();
        remove_clause(kThrowsClause.size(), removed, kept);
        // A clause the removal brings together, of what was kept and what
        // follows, goes too.
        for (bool formed = true; formed;) {
          formed = false;
          for (size_t k = 1; k < kThrowsClause.size() && !formed; ++k) {
            if (text_.size() < k || i + kThrowsClause.size() - k > n) continue;
            formed = text_.compare(text_.size() - k, k, kThrowsClause.substr(0, k)) == 0 &&
                     text.compare(i, kThrowsClause.size() - k, kThrowsClause.substr(k)) == 0;
            if (!formed) continue;
            text_.resize(text_.size() - k);
            i += kThrowsClause.size() - k;
            remove_clause(kThrowsClause.size(), removed, kept);
          }
        }
        continue;
      }
      // A line end: the blanks before it go.
      if (i + 1 < n && data[i + 1] == '\n') {
        size_t blanks = 0;
        while (text_.size() - blanks > kept && text_[text_.size() - blanks - 1] == ' ') ++blanks;
        if (blanks > 0) {
          text_.resize(text_.size() - blanks);
          removed += blanks;
          shifts_.push_back({static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(removed)});
        }
      }
      text_ += '\r';
      ++i;
      // Nothing before a line end changes any more: look there now and
      // then, and stop copying once everything is found.
      if (text_.size() >= searched_ + kCheckEvery && search(text_.size()) == 3) return;
    }
    search(text_.size());
  }

  const std::optional<size_t>& import() const { return found_[0]; }
  const std::optional<size_t>& field() const { return found_[1]; }
  const std::optional<size_t>& marker() const { return found_[2]; }

 private:
  static constexpr size_t kCheckEvery = 1 << 16;
  static constexpr std::string_view kPatterns[3] = {kInputImport, kReaderField, kMainMarker};

  // Looks for what is not found yet in what is final up to `settled`; each
  // search resumes where the last left off, so the first place is found.
  // Returns how many are found.
  int search(size_t settled) {
    const std::string_view final_text = std::string_view(text_).substr(0, settled);
    int count = 0;
    for (int p = 0; p < 3; ++p) {
      if (!found_[p]) {
        const std::string_view pattern = kPatterns[p];
        const size_t from = searched_ >= pattern.size() ? searched_ - pattern.size() + 1 : 0;
        const size_t at = final_text.find(pattern, from);
        if (at != std::string_view::npos) found_[p] = in_text(at);
      }
      count += found_[p].has_value();
    }
    searched_ = settled;
    return count;
  }

  // The offset in the original text of one here: what was removed before it added.
  size_t in_text(size_t at) const {
    auto after = std::upper_bound(shifts_.begin(), shifts_.end(),
                                  std::make_pair(static_cast<uint32_t>(at), UINT32_MAX));
    return at + (after == shifts_.begin() ? 0 : std::prev(after)->second);
  }

  void remove_clause(size_t length, size_t& removed, size_t& kept) {
    removed += length;
    kept = text_.size();
    shifts_.push_back({static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(removed)});
  }

  std::string text_;
  std::vector<std::pair<uint32_t, uint32_t>> shifts_;  // (offset here, removed before it)
  size_t searched_ = 0;                                // where the next search starts
  std::optional<size_t> found_[3];
};

}  // namespace

Matches find_layout(std::string_view text) {
  const Searched searched(text);
  return {searched.import(), searched.field(), searched.marker()};
}

}  // namespace convert::layout
