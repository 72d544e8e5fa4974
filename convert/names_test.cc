#include "convert/names.h"

#include <gtest/gtest.h>

#include "platform/system.h"

namespace convert {
namespace {

TEST(BaseName, TakesTheLastComponentAfterEitherSeparator) {
  EXPECT_EQ(base_name("src\\Hello"), "Hello");
  EXPECT_EQ(base_name("src/Hello"), "Hello");
  EXPECT_EQ(base_name("a\\b/c\\Hello"), "Hello");
  EXPECT_EQ(base_name("Hello"), "Hello");
  EXPECT_EQ(base_name("src/"), "");
}

TEST(DeriveNames, ComposesTheFourNames) {
  const std::string sep(1, platform::path_separator());
  for (const char* source : {"src\\Hello", "src/Hello"}) {
    auto names = derive_names(source, "out", "EnConsole");
    ASSERT_TRUE(names);
    EXPECT_EQ(names->source_file, std::string(source) + ".java");
    EXPECT_EQ(names->source_class, "Hello");
    EXPECT_EQ(names->destination_class, "HelloEnConsole");
    EXPECT_EQ(names->destination_file, "out" + sep + "HelloEnConsole.java");
  }
  auto plain = derive_names("Hello", "out", "");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->destination_file, "out" + sep + "Hello.java");
}

TEST(DeriveNames, RefusesAnEmptyClassName) {
  EXPECT_FALSE(derive_names("src/", "out", ""));
  EXPECT_FALSE(derive_names("", "out", ""));
}

}  // namespace
}  // namespace convert
