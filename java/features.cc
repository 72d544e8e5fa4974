#include "java/features.h"

#include <array>
#include <unordered_set>

#include "java/word_set.h"

namespace java {
namespace {

struct LibraryCall {
  std::string_view receiver;  // empty: a method called on any object
  std::string_view method;
  int release;
};

// Calls javac knows by their name only from that release on. Methods on any
// object count only where the file declares no method of that name.
constexpr std::array<LibraryCall, 14> kLibraryCalls = {{
    {"List", "of", 9},
    {"Set", "of", 9},
    {"Map", "of", 9},
    {"Map", "entry", 9},
    {"Map", "ofEntries", 9},
    {"Files", "readString", 11},
    {"Files", "writeString", 11},
    {"", "repeat", 11},
    {"", "strip", 11},
    {"", "stripLeading", 11},
    {"", "stripTrailing", 11},
    {"", "isBlank", 11},
    {"", "formatted", 15},
    {"", "toList", 16},
}};

class Finder {
 public:
  explicit Finder(const Program& program) : s_(program.source), structure_(program.structure) {}

  std::optional<LanguageFeature> run() {
    const std::string_view text = s_.text();
    for (size_t c = 0; c < s_.size(); ++c) {
      const TokenKind kind = s_.kind(c);
      if (kind == TokenKind::text_block) found_at(15, "a text block", s_.begin(c));
      if (kind != TokenKind::identifier || s_.escaped(c)) continue;
      if (c >= 2 && s_.is(c - 1, ".") && s_.is(c + 1, "(")) library_call(c);
      // The keywords below all start with one of these.
      switch (text[s_.begin(c)]) {
        case 'v':
        case 'c':
        case 'd':
        case 'y':
        case 'r':
        case 'i':
          break;
        default:
          continue;
      }
      const std::string_view w = s_.word(c);
      if (w == "var" && is_local_type(c)) found(10, "'var'", c);
      if ((w == "case" || w == "default") && is_arrow_label(c))
        found(14, "a switch rule (case ... ->)", c);
      if (w == "yield" && starts_statement(c) && !s_.is(c + 1, "=") && !s_.is(c + 1, "("))
        found(14, "'yield'", c);
      if (w == "record" && starts_statement(after_modifiers(c)) && s_.is_identifier(c + 1) &&
          (s_.is(c + 2, "(") || s_.is(c + 2, "<")))
        found(16, "a record", c);
      if (w == "instanceof" && is_pattern(c + 1)) found(16, "an instanceof pattern", c);
    }
    return newest_;
  }

 private:
  void found(int release, std::string_view name, size_t code_token) {
    found_at(release, name, s_.begin(code_token));
  }
  void found_at(int release, std::string_view name, size_t offset) {
    if (newest_ && newest_->release >= release) return;
    newest_ = LanguageFeature{release, std::string(name), s_.line_of(offset)};
  }

  bool starts_statement(size_t c) const { return java::starts_statement(s_, c); }

  // Where a declaration at c starts, its modifiers included.
  size_t after_modifiers(size_t c) const {
    while (c > 0 && is_modifier(s_.word(c - 1))) --c;
    return c;
  }

  // var NAME = ... or var NAME : ... (for), where a statement or a for's
  // header starts, after final when there is one.
  bool is_local_type(size_t c) const {
    if (!s_.is_identifier(c + 1) || !(s_.is(c + 2, "=") || s_.is(c + 2, ":"))) return false;
    size_t before = c;
    if (before > 0 && s_.is(before - 1, "final")) --before;
    return starts_statement(before) || (before > 0 && s_.is(before - 1, "("));
  }

  // "case ... ->" or "default ->": the label ends in an arrow, not a colon.
  bool is_arrow_label(size_t c) const {
    for (size_t at = c + 1; at < s_.size(); ++at) {
      const std::string_view w = s_.word(at);
      if (w == ":" || w == ";" || w == "{" || w == "}") return false;
      if (w == "(" || w == "[") {
        at = s_.match(at);
        if (at == kNone) return false;
        continue;
      }
      if (w == "-" && s_.is(at + 1, ">") && s_.end(at) == s_.begin(at + 1)) return true;
    }
    return false;
  }

  // instanceof [final] Type NAME: a binding, not only a test.
  bool is_pattern(size_t c) const {
    if (s_.is(c, "final")) ++c;
    if (!s_.is_identifier(c)) return false;
    while (s_.is(c + 1, ".") && s_.is_identifier(c + 2)) c += 2;
    if (s_.is(c + 1, "<")) {
      // Type<...>: step over the angle brackets.
      int depth = 0;
      for (++c; c < s_.size(); ++c) {
        if (s_.is(c, "<")) ++depth;
        if (s_.is(c, ">") && --depth == 0) break;
      }
    }
    while (s_.is(c + 1, "[") && s_.is(c + 2, "]")) c += 2;
    return s_.is_identifier(c + 1) && !s_.is(c + 1, "instanceof");
  }

  void library_call(size_t c) {
    static const WordSet methods = {
        "of",    "entry",        "ofEntries",     "readString", "writeString", "repeat",
        "strip", "stripLeading", "stripTrailing", "isBlank",    "formatted",   "toList"};
    const std::string_view method = s_.word(c), receiver = s_.word(c - 2);
    if (!methods.contains(method)) return;
    for (const LibraryCall& call : kLibraryCalls) {
      if (call.method != method) continue;
      if (call.receiver.empty()) {
        if (declared(method)) continue;
        if (method == "toList" && !s_.is(c + 2, ")")) continue;
        found(call.release, (method == "toList" ? "Stream." : "String.") + std::string(method), c);
      } else if (call.receiver == receiver && !(c >= 3 && s_.is(c - 3, "."))) {
        found(call.release, std::string(receiver) + "." + std::string(method), c);
      }
    }
  }

  // Whether the file declares a method of that name; the names gathered
  // the first time it is asked.
  bool declared(std::string_view method) {
    if (!declared_) {
      declared_.emplace();
      for (const Method& m : structure_.methods) declared_->insert(s_.word(m.name));
    }
    return declared_->count(method) > 0;
  }

  const Source& s_;
  const Structure& structure_;
  std::optional<std::unordered_set<std::string_view>> declared_;
  std::optional<LanguageFeature> newest_;
};

}  // namespace

std::optional<LanguageFeature> newest_feature(const Program& program) {
  return Finder(program).run();
}

}  // namespace java
