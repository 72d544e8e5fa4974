#include "convert/source_encoding.h"

#include <algorithm>
#include <cstdint>

namespace convert {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The length of the UTF-8 sequence at `at`, 0 when it is not one: no
// overlong form, no surrogate, nothing past U+10FFFF.
size_t sequence_length(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length;
  uint8_t low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  return length;
}

bool valid_utf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    // Most of a source is ASCII: step over it a byte at a time, cheaply.
    if (static_cast<uint8_t>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const size_t length = sequence_length(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

void append_utf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// windows-1252's 0x80..0x9F; 0 where it has no character.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string from_windows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (const char c : bytes) {
    const auto byte = static_cast<uint8_t>(c);
    if (byte >= 0x80 && byte <= 0x9F && kWindows1252High[byte - 0x80] != 0)
      append_utf8(out, kWindows1252High[byte - 0x80]);
    else
      append_utf8(out, byte);
  }
  return out;
}

std::string from_utf16(std::string_view bytes, bool little_endian) {
  std::string out;
  out.reserve(bytes.size());
  const auto unit = [&](size_t at) -> uint32_t {
    const auto first = static_cast<uint8_t>(bytes[at]);
    const auto second = static_cast<uint8_t>(bytes[at + 1]);
    return little_endian ? first | (second << 8) : (first << 8) | second;
  };
  constexpr uint32_t kReplacement = 0xFFFD;
  size_t at = 0;
  for (; at + 1 < bytes.size(); at += 2) {
    const uint32_t code = unit(at);
    if (code >= 0xD800 && code <= 0xDBFF && at + 3 < bytes.size()) {
      const uint32_t next = unit(at + 2);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        append_utf8(out, 0x10000 + ((code - 0xD800) << 10) + (next - 0xDC00));
        at += 2;
        continue;
      }
    }
    append_utf8(out, code >= 0xD800 && code <= 0xDFFF ? kReplacement : code);
  }
  if (at < bytes.size()) append_utf8(out, kReplacement);
  return out;
}

}  // namespace

SourceEncoding detect_encoding(std::string_view bytes) {
  if (starts_with(bytes, kUtf8Mark)) return SourceEncoding::utf8_bom;
  if (starts_with(bytes, kUtf16LeMark)) return SourceEncoding::utf16le;
  if (starts_with(bytes, kUtf16BeMark)) return SourceEncoding::utf16be;
  return valid_utf8(bytes) ? SourceEncoding::utf8 : SourceEncoding::windows1252;
}

std::string to_utf8(std::string_view bytes, SourceEncoding encoding) {
  switch (encoding) {
    case SourceEncoding::utf8:
      return std::string(bytes);
    case SourceEncoding::utf8_bom:
      return std::string(bytes.substr(kUtf8Mark.size()));
    case SourceEncoding::utf16le:
      return from_utf16(bytes.substr(kUtf16LeMark.size()), true);
    case SourceEncoding::utf16be:
      return from_utf16(bytes.substr(kUtf16BeMark.size()), false);
    case SourceEncoding::windows1252:
      return from_windows1252(bytes);
  }
  return std::string(bytes);
}

std::string_view encoding_name(SourceEncoding encoding) {
  switch (encoding) {
    case SourceEncoding::utf8:
      return "UTF-8";
    case SourceEncoding::utf8_bom:
      return "UTF-8 with a byte order mark";
    case SourceEncoding::utf16le:
      return "UTF-16 (little-endian, with a byte order mark)";
    case SourceEncoding::utf16be:
      return "UTF-16 (big-endian, with a byte order mark)";
    case SourceEncoding::windows1252:
      return "windows-1252 (it is not valid UTF-8)";
  }
  return "";
}

bool has_non_ascii(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<uint8_t>(c) >= 0x80; });
}

}  // namespace convert
