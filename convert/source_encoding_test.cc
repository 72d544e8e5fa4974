#include "convert/source_encoding.h"

#include <gtest/gtest.h>

#include <sstream>

#include "convert/convert_source.h"
#include "platform/test_support.h"
#include "platform/test_system.h"

namespace convert {
namespace {

// "élève à 20 €" and a line end, as each editor saves it.
const std::string kUtf8 = "\"\xC3\xA9l\xC3\xA8ve \xC3\xA0 20 \xE2\x82\xAC\"\r\n";
const std::string kWindows1252 = "\"\xE9l\xE8ve \xE0 20 \x80\"\r\n";
std::string utf16(bool little_endian) {
  const char16_t units[] = u"\uFEFF\"\u00E9l\u00E8ve \u00E0 20 \u20AC\"\r\n";
  std::string bytes;
  for (size_t i = 0; units[i]; ++i) {
    const char high = static_cast<char>(units[i] >> 8), low = static_cast<char>(units[i] & 0xFF);
    bytes += little_endian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

TEST(SourceEncoding, EachEditorsEncodingIsFoundAndTurnedIntoUtf8) {
  const std::pair<std::string, SourceEncoding> cases[] = {
      {kUtf8, SourceEncoding::utf8},
      {"\xEF\xBB\xBF" + kUtf8, SourceEncoding::utf8_bom},
      {utf16(true), SourceEncoding::utf16le},
      {utf16(false), SourceEncoding::utf16be},
      {kWindows1252, SourceEncoding::windows1252},
  };
  for (const auto& [bytes, encoding] : cases) {
    EXPECT_EQ(detect_encoding(bytes), encoding) << encoding_name(encoding);
    EXPECT_EQ(to_utf8(bytes, encoding), kUtf8) << encoding_name(encoding);
  }
  EXPECT_EQ(detect_encoding(""), SourceEncoding::utf8);
  EXPECT_EQ(detect_encoding("class A {}\n"), SourceEncoding::utf8);
}

// What is not well-formed UTF-8 is windows-1252: overlong forms,
// surrogates, a sequence cut short.
TEST(SourceEncoding, IllFormedUtf8IsTakenForWindows1252) {
  for (const std::string bytes :
       {"\xC0\xAF", "\xED\xA0\x80", "\xC3", "a\xE2\x82", "\xF5\x80\x80\x80"})
    EXPECT_EQ(detect_encoding(bytes), SourceEncoding::windows1252) << bytes;
  EXPECT_EQ(detect_encoding("\xF0\x9F\x98\x80"), SourceEncoding::utf8);  // an emoji
  // Its five bytes with no character keep their value, as C1 controls;
  // quotes and dashes are the characters they stand for.
  EXPECT_EQ(to_utf8("\x81\x8D\x92\x96", SourceEncoding::windows1252),
            "\xC2\x81\xC2\x8D\xE2\x80\x99\xE2\x80\x93");
}

TEST(SourceEncoding, Utf16PairsAndStrayUnits) {
  // A surrogate pair, then a lone high surrogate, then a last odd byte.
  const std::string bytes = std::string(
      "\xFF\xFE\x3D\xD8\x00\xDE\x3D\xD8"
      "A\x00"
      "B",
      11);
  EXPECT_EQ(to_utf8(bytes, SourceEncoding::utf16le),
            "\xF0\x9F\x98\x80\xEF\xBF\xBD"
            "A\xEF\xBF\xBD");
}

// The default mode converts byte for byte and says what javac will do;
// --lenient converts the text, written in UTF-8, and says what it found.
TEST(SourceEncoding, TheConvertersSayWhatTheyFound) {
  testutil::TempDir dir;
  const std::string program = "class Hello {\r\n  String s = " + kWindows1252.substr(0, 14) +
                              ";\r\n  void f() { System.out.println(s); }\r\n}\r\n";
  testutil::write_file(dir.path() / "Hello.java", program);
  for (const bool lenient : {false, true}) {
    platform::TestSystem system;
    std::ostringstream out, err;
    platform::Io io{system, out, err, "test"};
    ConvertOptions options;
    options.lenient = lenient;
    const ConvertResult result =
        convert_source(io, dir.str("Hello.java"), dir.str("HelloEnConsole.java"), "Hello",
                       "HelloEnConsole", options);
    ASSERT_TRUE(result.ok);
    const std::string written = testutil::read_file(dir.path() / "HelloEnConsole.java");
    if (lenient) {
      EXPECT_NE(written.find("String s = \"\xC3\xA9l\xC3\xA8ve \xC3\xA0 20 \xE2\x82\xAC\";"),
                std::string::npos)
          << written;
      EXPECT_TRUE(result.non_ascii);
      EXPECT_NE(err.str().find("Hello.java:1: note: this file is saved in windows-1252 (it is "
                               "not valid UTF-8); it is converted from it"),
                std::string::npos)
          << err.str();
    } else {
      EXPECT_EQ(written, "class HelloEnConsole {\r\n  String s = " + kWindows1252.substr(0, 14) +
                             ";\r\n  void f() { Console.out.println(s); }\r\n}\r\n");
      EXPECT_NE(err.str().find("Hello.java:1: note: this file is saved in windows-1252 (it is "
                               "not valid UTF-8), which javac, reading UTF-8, rejects; try "
                               "--lenient"),
                std::string::npos)
          << err.str();
    }
  }
}

}  // namespace
}  // namespace convert
