#include "platform/arguments.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

const std::vector<Option> kKnown = {{'n', "dry-run"}, {'h', "help"}, {0, "lib", true}};

Arguments parse(const std::vector<std::string>& args) {
  std::string problem;
  auto parsed = parse_arguments(args, kKnown, problem);
  EXPECT_TRUE(parsed) << problem;
  return parsed.value_or(Arguments{});
}

TEST(ParseArguments, OptionsAndOperandsInAnyOrder) {
  auto a = parse({"x", "-n", "--lib", "L", "y", "--help"});
  EXPECT_EQ(a.operands, (std::vector<std::string>{"x", "y"}));
  EXPECT_TRUE(a.has("dry-run"));
  EXPECT_TRUE(a.has("help"));
  EXPECT_EQ(a.options.at("lib"), "L");
  EXPECT_EQ(parse({"--lib=a=b"}).options.at("lib"), "a=b");
  EXPECT_EQ(parse({"--lib="}).options.at("lib"), "");
  auto bundled = parse({"-nh"});
  EXPECT_TRUE(bundled.has("dry-run") && bundled.has("help"));
}

TEST(ParseArguments, DoubleDashEndsOptionsAndDashIsAnOperand) {
  auto a = parse({"-n", "--", "--help", "-x/Name", "--"});
  EXPECT_EQ(a.operands, (std::vector<std::string>{"--help", "-x/Name", "--"}));
  EXPECT_FALSE(a.has("help"));
  EXPECT_EQ(parse({"-"}).operands, std::vector<std::string>{"-"});
  // A value is taken as it stands, even when it looks like an option.
  EXPECT_EQ(parse({"--lib", "--help"}).options.at("lib"), "--help");
}

TEST(ParseArguments, ProblemsAreNamed) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--bogus"}, "unrecognized option '--bogus'"},
      {{"--bogus=1"}, "unrecognized option '--bogus'"},
      {{"-nx"}, "invalid option -- 'x'"},
      {{"--help=yes"}, "option '--help' doesn't allow an argument"},
      {{"a", "--lib"}, "option '--lib' requires an argument"},
  };
  for (const auto& [args, expected] : cases) {
    std::string problem;
    EXPECT_FALSE(parse_arguments(args, kKnown, problem));
    EXPECT_EQ(problem, expected);
  }
}

}  // namespace
}  // namespace platform
