#include "platform/listing.h"

#include <algorithm>

namespace platform {
namespace {

class Listing : public DirectorySearch {
 public:
  Listing(std::vector<DirEntry> entries, bool failed)
      : entries_(std::move(entries)), failed_(failed) {
    std::sort(entries_.begin(), entries_.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  }

  std::optional<DirEntry> find_next_entry() override {
    if (next_ == entries_.size()) return std::nullopt;
    return entries_[next_++];
  }
  bool failed() const override { return failed_; }

 private:
  std::vector<DirEntry> entries_;
  size_t next_ = 0;
  bool failed_;
};

}  // namespace

std::unique_ptr<DirectorySearch> sorted_listing(std::vector<DirEntry> entries, bool failed) {
  return std::make_unique<Listing>(std::move(entries), failed);
}

}  // namespace platform
