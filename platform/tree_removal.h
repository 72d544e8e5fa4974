// Removing a directory with everything below it, in-process, the same way
// on every platform: each entry reached through its open parent, links
// removed and never followed, directories removed bottom up.
#ifndef PLATFORM_TREE_REMOVAL_H
#define PLATFORM_TREE_REMOVAL_H

#include <functional>
#include <string>

#include "platform/directory.h"

namespace platform {

// Called with the path of what could not be removed and the reason.
using RemovalFailure = std::function<void(const std::string& path, const std::string& reason)>;

// Removes the subdirectory `name` of `parent`; `path` is its path, for
// the reports. A failure is reported and the rest still goes; a directory
// left non-empty by a failure below it is not reported again. True when
// everything went.
bool remove_tree(Directory& parent, const std::string& name, const std::string& path,
                 const RemovalFailure& failure);

}  // namespace platform

#endif  // PLATFORM_TREE_REMOVAL_H
