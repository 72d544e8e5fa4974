// Which JDK compiles the converted class, and how to ask it for old class
// files. Current JDKs refuse "-source 1.3 -target 1.3"; from JDK 9 on,
// "--release 8" is the oldest they all accept, and what the console
// library is built for.
#ifndef CONVERT_JDK_H
#define CONVERT_JDK_H

#include <optional>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace convert {

inline constexpr std::string_view kLegacyClassVersion = "-source 1.3 -target 1.3";
inline constexpr std::string_view kModernClassVersion = "--release 8";

// The feature release (8 for "1.8.0_392", 17 for "17.0.15") named by the
// JAVA_VERSION line of a JDK's `release` file.
std::optional<int> java_feature_release(std::string_view release_file);

// The feature release of the JDK whose javac is `javac` (a path with links
// resolved), read from the `release` file beside its bin folder; nothing
// is run. nullopt when it cannot be told.
std::optional<int> jdk_feature_release(platform::System& system, const std::string& javac);

// The class-file options for a JDK: the legacy pair up to JDK 8 and when
// the JDK is unknown, --release 8 after.
std::string_view class_version_options(std::optional<int> feature_release);

}  // namespace convert

#endif  // CONVERT_JDK_H
