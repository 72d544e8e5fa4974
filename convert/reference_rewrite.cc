#include "convert/reference_rewrite.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace reference {
namespace {

struct Overflow {};

struct Text {
  std::vector<char> room;
  std::string trace;

  int length() const { return static_cast<int>(std::strlen(room.data())); }

  int find_from(const char* pattern, int start) const {
    const char* text = room.data();
    int len = length();
    int n = static_cast<int>(std::strlen(pattern));
    for (int i = start; i <= len - n; ++i) {
      int j = 0;
      while (j < n && text[i + j] == pattern[j]) ++j;
      if (j == n) return i;
    }
    return -1;
  }
  int find_first(const char* pattern) const { return find_from(pattern, 0); }

  void print(int len, int pos, int n, int r) {
    trace += std::to_string(len) + " " + std::to_string(pos) + " " + std::to_string(n) +
             " " + std::to_string(r) + "\n";
  }

  void splice_shrink(const char* pattern, const char* replacement, int pos) {
    int len = length(), n = static_cast<int>(std::strlen(pattern)),
        r = static_cast<int>(std::strlen(replacement));
    print(len, pos, n, r);
    char* text = room.data();
    for (int i = 0; i < r; ++i) text[pos + i] = replacement[i];
    for (int j = 0; j <= len - pos - n; ++j) text[pos + r + j] = text[pos + n + j];
  }

  void splice_grow(const char* pattern, const char* replacement, int pos) {
    int len = length(), n = static_cast<int>(std::strlen(pattern)),
        r = static_cast<int>(std::strlen(replacement));
    print(len, pos, n, r);
    if (len + r - n + 1 > static_cast<int>(room.size())) throw Overflow{};
    char* text = room.data();
    for (int i = 0; i <= len - pos - n; ++i) text[len + r - n - i] = text[len - i];
    for (int i = 0; i < r; ++i) text[pos + i] = replacement[i];
  }
};

}  // namespace

std::optional<Result> rewrite(const std::string& source, const std::string& source_class,
                              const std::string& destination_class) {
  if (source_class.size() > 462) return std::nullopt;
  Text t;
  t.room.assign(source.size() + 1000, '\0');
  std::memcpy(t.room.data(), source.data(), source.size());
  try {
    int p;
    while ((p = t.find_first(" \r\n")) != -1) t.splice_shrink(" \r\n", "\r\n", p);
    const char* import = "import java.io.*;\r\n\r\n";
    if ((p = t.find_first(import)) != -1) t.splice_shrink(import, "", p);
    const char* field =
        "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\r\n";
    if ((p = t.find_first(field)) != -1) t.splice_shrink(field, "", p);
    while ((p = t.find_first(" throws IOException")) != -1)
      t.splice_shrink(" throws IOException", "", p);
    const char* marker = " args) {\r\n";
    if ((p = t.find_first(marker)) != -1) {
      char title[500];
      std::snprintf(title, sizeof title, "%s    Console.setTitle(\"%s\");\r\n", marker,
                    source_class.c_str());
      t.splice_grow(marker, title, p);
    }
    const char* from = source_class.c_str();
    const char* to = destination_class.c_str();
    int resume = -1;
    for (;;) {
      p = resume == -1 ? t.find_first(from) : t.find_from(from, resume);
      if (p == -1) break;
      resume = p + 1;
      if (p == 0 || t.room[p - 1] != '"') t.splice_grow(from, to, p);
    }
    while ((p = t.find_first("System.out")) != -1)
      t.splice_grow("System.out", "Console.out", p);
    while ((p = t.find_first("flux.readLine")) != -1)
      t.splice_grow("flux.readLine", "Console.in.readLine", p);
  } catch (const Overflow&) {
    return std::nullopt;
  }
  return Result{std::string(t.room.data()), t.trace};
}

}  // namespace reference
