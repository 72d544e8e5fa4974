#include "convert/jdk.h"

namespace convert {

std::optional<int> java_feature_release(std::string_view release_file) {
  constexpr std::string_view key = "JAVA_VERSION=\"";
  size_t at = 0;
  for (;;) {
    at = release_file.find(key, at);
    if (at == std::string_view::npos) return std::nullopt;
    if (at == 0 || release_file[at - 1] == '\n') break;
    ++at;
  }
  std::string_view version = release_file.substr(at + key.size());
  if (version.substr(0, 2) == "1.") version.remove_prefix(2);
  int release = 0;
  size_t digits = 0;
  for (; digits < version.size() && version[digits] >= '0' && version[digits] <= '9'; ++digits) {
    if (release > 10000) return std::nullopt;
    release = release * 10 + (version[digits] - '0');
  }
  if (digits == 0) return std::nullopt;
  return release;
}

std::optional<int> jdk_feature_release(platform::System& system, const std::string& javac) {
  // JDK/bin/javac -> JDK/release
  size_t bin = javac.find_last_of("/\\");
  if (bin == std::string::npos || bin == 0) return std::nullopt;
  size_t home = javac.find_last_of("/\\", bin - 1);
  if (home == std::string::npos) return std::nullopt;
  std::string contents, error;
  if (!system.read_file(javac.substr(0, home + 1) + "release", contents, error))
    return std::nullopt;
  return java_feature_release(contents);
}

std::string_view class_version_options(std::optional<int> feature_release) {
  return feature_release && *feature_release >= 9 ? kModernClassVersion : kLegacyClassVersion;
}

}  // namespace convert
