#include "convert/default_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace convert::layout {
namespace {

// Offsets are into the text as given, whatever the steps before the search
// take out ahead of them.
TEST(DefaultLayout, FindsOffsetsInTheOriginalText) {
  const std::string head = "class A {  \r\n  void f() throws IOException {}\r\n";
  const std::string text = head + std::string(kReaderField) +
                           "  public static void main(String[] args) throws IOException {\r\n}\r\n";
  const Matches found = find_layout(text);
  EXPECT_FALSE(found.import);
  ASSERT_TRUE(found.field);
  EXPECT_EQ(*found.field, head.size());
  ASSERT_TRUE(found.marker);
  EXPECT_EQ(text.compare(*found.marker, 6, " args)"), 0);
}

// Patterns made by the removals are found, and patterns interrupted by
// what stays are not.
TEST(DefaultLayout, SeesTheTextAsTheRemovalsLeaveIt) {
  EXPECT_EQ(find_layout("import java.io.*;   \r\n\r\n").import, 0u);
  EXPECT_EQ(find_layout("x args) throws IOException {\r\n").marker, 1u);
  EXPECT_EQ(find_layout("x args) throws IOException throws IOException {\r\n").marker, 1u);
  EXPECT_EQ(find_layout("x args) throws throws IOException IOException {\r\n").marker, 1u);
  EXPECT_FALSE(find_layout("x args)  throws throws IOException IOException {\r\n").marker);
  EXPECT_FALSE(find_layout("x args) {  x\r\n").marker);
  EXPECT_FALSE(find_layout("x args) {\n").marker);
}

// In a long text the search stops copying once all three are found; each
// must still be the first in the text, wherever it lies against the points
// where the search looks, and even where one is missing.
TEST(DefaultLayout, FindsTheFirstPlaceInLongTexts) {
  const std::string filler = "a b  \r\n";  // its blanks go: offsets shift
  for (size_t pad = 0; pad < 24; ++pad) {
    std::string text = std::string(kInputImport);
    // The search looks first at the first line end past 64 KiB of its
    // copy: the marker's line end, for some of the pads.
    for (size_t copied = text.size(); copied < (1 << 16) - 30; copied += filler.size() - 2)
      text += filler;
    text += std::string(pad, 'x');
    const size_t marker = text.size() + 4;
    text += "main args) throws IOException {\r\n" + filler;
    const size_t field = text.size();
    text += std::string(kReaderField);
    while (text.size() < (3 << 16)) text += filler;
    text += " args) {\r\n" + std::string(kReaderField);

    const Matches found = find_layout(text);
    EXPECT_EQ(found.import, 0u);
    EXPECT_EQ(found.marker, marker) << pad;
    EXPECT_EQ(found.field, field) << pad;
    // Without the import the search goes to the end, and finds the rest
    // all the same.
    const Matches rest = find_layout(text.substr(kInputImport.size()));
    EXPECT_FALSE(rest.import);
    EXPECT_EQ(rest.marker, marker - kInputImport.size()) << pad;
    EXPECT_EQ(rest.field, field - kInputImport.size()) << pad;
  }
}

}  // namespace
}  // namespace convert::layout
