// A directory listing read in full when the search starts, served in byte
// order so that runs are reproducible. Shared by both platforms.
#ifndef PLATFORM_LISTING_H
#define PLATFORM_LISTING_H

#include <memory>
#include <vector>

#include "platform/system.h"

namespace platform {

std::unique_ptr<DirectorySearch> sorted_listing(std::vector<DirEntry> entries, bool failed);

}  // namespace platform

#endif  // PLATFORM_LISTING_H
