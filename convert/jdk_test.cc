#include "convert/jdk.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/test_support.h"

namespace convert {
namespace {

namespace fs = std::filesystem;

TEST(JavaFeatureRelease, ReadsOldAndNewVersionSchemes) {
  EXPECT_EQ(java_feature_release("JAVA_VERSION=\"17.0.15\"\n"), 17);
  EXPECT_EQ(java_feature_release("IMPLEMENTOR=\"x\"\r\nJAVA_VERSION=\"1.8.0_392\"\r\n"), 8);
  EXPECT_EQ(java_feature_release("JAVA_VERSION=\"1.7.0\""), 7);
  EXPECT_EQ(java_feature_release("JAVA_VERSION=\"9\""), 9);
  EXPECT_EQ(java_feature_release("JAVA_VERSION=\"21-ea\""), 21);
  // Only a line of its own counts, and only a number.
  EXPECT_EQ(java_feature_release("JAVA_RUNTIME_JAVA_VERSION=\"17\"\nJAVA_VERSION=\"11\""), 11);
  EXPECT_FALSE(java_feature_release("XJAVA_VERSION=\"17\""));
  EXPECT_FALSE(java_feature_release("JAVA_VERSION=\"\""));
  EXPECT_FALSE(java_feature_release("JAVA_VERSION=\"x17\""));
  EXPECT_FALSE(java_feature_release("JAVA_VERSION=\"99999999999999999999\""));
  EXPECT_FALSE(java_feature_release(""));
}

TEST(ClassVersionOptions, LegacyUpToJdk8AndWhenUnknown) {
  EXPECT_EQ(class_version_options(std::nullopt), "-source 1.3 -target 1.3");
  EXPECT_EQ(class_version_options(8), "-source 1.3 -target 1.3");
  EXPECT_EQ(class_version_options(9), "--release 8");
  EXPECT_EQ(class_version_options(25), "--release 8");
}

TEST(JdkFeatureRelease, ReadsTheReleaseFileBesideBin) {
  testutil::TempDir dir;
  fs::create_directories(dir.path() / "jdk" / "bin");
  testutil::write_file(dir.path() / "jdk" / "release", "JAVA_VERSION=\"17.0.2\"\n");
  const std::string javac = (dir.path() / "jdk" / "bin" / "javac").string();
  EXPECT_EQ(jdk_feature_release(platform::real_system(), javac), 17);
  fs::remove(dir.path() / "jdk" / "release");
  EXPECT_FALSE(jdk_feature_release(platform::real_system(), javac));
  EXPECT_FALSE(jdk_feature_release(platform::real_system(), "javac"));
}

}  // namespace
}  // namespace convert
