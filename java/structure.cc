#include "java/structure.h"

#include <algorithm>
#include <array>

#include "java/word_set.h"

namespace java {
namespace {

const WordSet& modifiers() {
  static const WordSet words = {"public",    "private",  "protected", "static",  "final",
                                "transient", "volatile", "abstract",  "strictfp"};
  return words;
}

// clang-format off
// The public types of java.io, as far as Java 25: the names an import of
// java.io.* can bring in.
const WordSet& java_io_types() {
  static const WordSet words = {
    "BufferedInputStream", "BufferedOutputStream", "BufferedReader", "BufferedWriter",
    "ByteArrayInputStream", "ByteArrayOutputStream", "CharArrayReader", "CharArrayWriter",
    "CharConversionException", "Closeable", "Console", "DataInput", "DataInputStream",
    "DataOutput", "DataOutputStream", "EOFException", "Externalizable", "File",
    "FileDescriptor", "FileFilter", "FileInputStream", "FileNotFoundException",
    "FileOutputStream", "FilePermission", "FileReader", "FileWriter", "FilenameFilter",
    "FilterInputStream", "FilterOutputStream", "FilterReader", "FilterWriter", "Flushable",
    "IOError", "IOException", "InputStream", "InputStreamReader", "InterruptedIOException",
    "InvalidClassException", "InvalidObjectException", "LineNumberInputStream",
    "LineNumberReader", "NotActiveException", "NotSerializableException", "ObjectInput",
    "ObjectInputFilter", "ObjectInputStream", "ObjectInputValidation", "ObjectOutput",
    "ObjectOutputStream", "ObjectStreamClass", "ObjectStreamConstants",
    "ObjectStreamException", "ObjectStreamField", "OptionalDataException", "OutputStream",
    "OutputStreamWriter", "PipedInputStream", "PipedOutputStream", "PipedReader",
    "PipedWriter", "PrintStream", "PrintWriter", "PushbackInputStream", "PushbackReader",
    "RandomAccessFile", "Reader", "SequenceInputStream", "Serial", "Serializable",
    "SerializablePermission", "StreamCorruptedException", "StreamTokenizer",
    "StringBufferInputStream", "StringReader", "StringWriter", "SyncFailedException",
    "UTFDataFormatException", "UncheckedIOException", "UnsupportedEncodingException",
    "WriteAbortedException", "Writer"};
  return words;
}
// clang-format on

// A dotted name starting at `c`: IDENT (. IDENT)*; nullopt when there is none.
std::optional<TypeName> type_name_at(const Source& s, size_t c) {
  if (!s.is_identifier(c)) return std::nullopt;
  TypeName type{static_cast<uint32_t>(c), static_cast<uint32_t>(c), {}};
  while (s.is(type.last + 1, ".") && s.is_identifier(type.last + 2)) type.last += 2;
  type.name = s.word(type.last);
  return type;
}

// `java . io . NAME` or NAME at c: the index of NAME, or kNone.
size_t qualified_io(const Source& s, size_t c, std::string_view name) {
  if (s.is(c, "java") && s.is(c + 1, ".") && s.is(c + 2, "io") && s.is(c + 3, ".")) c += 4;
  return s.is(c, name) ? c : kNone;
}

// new BufferedReader(new InputStreamReader(System.in)) from c; the index
// after it, or kNone.
size_t console_reader_at(const Source& s, size_t c) {
  if (!s.is(c, "new")) return kNone;
  c = qualified_io(s, c + 1, "BufferedReader");
  if (c == kNone || !s.is(c + 1, "(") || !s.is(c + 2, "new")) return kNone;
  c = qualified_io(s, c + 3, "InputStreamReader");
  if (c == kNone) return kNone;
  for (std::string_view w : {"(", "System", ".", "in", ")", ")"})
    if (!s.is(++c, w)) return kNone;
  return c + 1;
}

// `new [java.util.]Scanner(System.in)` from c: the index of `System`, or kNone.
size_t console_scanner_at(const Source& s, size_t c) {
  if (!s.is(c, "new")) return kNone;
  ++c;
  if (s.is(c, "java") && s.is(c + 1, ".") && s.is(c + 2, "util") && s.is(c + 3, ".")) c += 4;
  if (!s.is(c, "Scanner") || !s.is(c + 1, "(")) return kNone;
  if (!s.is(c + 2, "System") || !s.is(c + 3, ".") || !s.is(c + 4, "in") || !s.is(c + 5, ")"))
    return kNone;
  return c + 2;
}

// System.in at c (its `System`), java.lang spelled out or not.
bool is_standard_input(const Source& s, size_t c) {
  return s.is(c, "System") && s.is(c + 1, ".") && s.is(c + 2, "in") &&
         !(c > 0 && s.is(c - 1, ".") && !(c >= 4 && s.is(c - 2, "lang") && s.is(c - 4, "java")));
}

// A throws list from `c`: types separated by ','.
TypeRange type_list(const Source& s, size_t& c, std::vector<TypeName>& storage,
                    std::string_view separator, size_t before = kNone) {
  TypeRange range{static_cast<uint32_t>(storage.size()), 0};
  while (auto type = type_name_at(s, c)) {
    if (before != kNone && type->last + 1 >= before) break;
    storage.push_back(*type);
    c = type->last + 1;
    if (!s.is(c, separator)) break;
    ++c;
  }
  range.end = static_cast<uint32_t>(storage.size());
  return range;
}

// A method (or constructor) declared at the '(' c: its name before, a body
// after, perhaps a throws clause between.
void method_at(const Source& s, size_t c, Structure& structure) {
  if (c == 0 || !s.is_identifier(c - 1) || is_statement_keyword(s.word(c - 1))) return;
  if (c >= 2 && (s.is(c - 2, "new") || s.is(c - 2, ".") || s.is(c - 2, "=") || s.is(c - 2, "(") ||
                 s.is(c - 2, ",") || s.is(c - 2, "return")))
    return;
  const size_t close = s.match(c);
  if (close == kNone) return;
  Method method{static_cast<uint32_t>(c - 1), static_cast<uint32_t>(c), kNone, {}, kNone, kNone};
  size_t next = close + 1;
  const size_t stored = structure.type_storage.size();
  if (s.is(next, "throws")) {
    method.throws_keyword = static_cast<uint32_t>(next++);
    method.throws = type_list(s, next, structure.type_storage, ",");
  }
  if (!s.is(next, "{") || s.match(next) == kNone) {
    structure.type_storage.resize(stored);
    return;
  }
  method.body_open = static_cast<uint32_t>(next);
  method.body_close = s.match(next);
  structure.methods.push_back(method);
}

// A try statement at the `try` c, with its handlers.
void try_at(const Source& s, size_t c, Structure& structure) {
  TryStatement statement{static_cast<uint32_t>(c), kNone, kNone, kNone, 0, 0};
  size_t next = c + 1;
  if (s.is(next, "(")) {
    statement.resources_open = static_cast<uint32_t>(next);
    next = s.match(next);
    if (next == kNone) return;
    ++next;
  }
  if (!s.is(next, "{") || s.match(next) == kNone) return;
  statement.body_open = static_cast<uint32_t>(next);
  statement.body_close = s.match(next);
  statement.handlers_begin = static_cast<uint32_t>(structure.handler_storage.size());
  next = statement.body_close + 1;
  for (;;) {
    Handler handler{static_cast<uint32_t>(next), {}, kNone, kNone};
    const size_t stored = structure.type_storage.size();
    if (s.is(next, "catch") && s.is(next + 1, "(") && s.match(next + 1) != kNone) {
      const size_t close = s.match(next + 1);
      size_t t = next + 2;
      if (s.is(t, "final")) ++t;
      // Types separated by '|', then the parameter's name before ')'.
      handler.types = type_list(s, t, structure.type_storage, "|", close);
      next = close + 1;
    } else if (s.is(next, "finally")) {
      ++next;
    } else {
      break;
    }
    if (!s.is(next, "{") || s.match(next) == kNone) {
      structure.type_storage.resize(stored);
      break;
    }
    handler.block_open = static_cast<uint32_t>(next);
    handler.block_close = s.match(next);
    structure.handler_storage.push_back(handler);
    next = handler.block_close + 1;
  }
  statement.handlers_end = static_cast<uint32_t>(structure.handler_storage.size());
  structure.tries.push_back(statement);
}

// A class, interface, enum or record declared at the keyword c; its body is
// the first '{' after the name outside brackets.
void type_at(const Source& s, size_t c, Structure& structure) {
  const std::string_view w = s.word(c);
  if (w != "class" && w != "interface" && w != "enum" && w != "record") return;
  if (!s.is_identifier(c + 1) || (c > 0 && s.is(c - 1, "."))) return;
  // `record` is a keyword only before a name and its components.
  if (w == "record" && !(s.is(c + 2, "(") || s.is(c + 2, "<"))) return;
  for (size_t at = c + 2; at < s.size(); ++at) {
    const std::string_view next = s.word(at);
    if (next == "{") {
      const size_t close = s.match(at);
      if (close == kNone) return;
      structure.type_declarations.push_back({static_cast<uint32_t>(c), static_cast<uint32_t>(c + 1),
                                             static_cast<uint32_t>(at),
                                             static_cast<uint32_t>(close)});
      return;
    }
    if (next == ";" || next == "}" || next == "=") return;
    if (next == "(" || next == "[") {
      at = s.match(at);
      if (at == kNone) return;
    }
  }
}

// `package NAME ;` at the start of the file.
void package_at(const Source& s, Structure& structure) {
  for (size_t at = 1; at < s.size(); ++at) {
    if (s.is(at, ";")) {
      structure.package_keyword = 0;
      structure.package_end = static_cast<uint32_t>(at);
      return;
    }
    if (!s.is_identifier(at) && !s.is(at, ".")) return;
  }
}

// Which declaration each is declared in, and which holds main.
void nest_types(Structure& structure) {
  std::vector<uint32_t> open;
  auto& types = structure.type_declarations;
  for (size_t t = 0; t < types.size(); ++t) {
    while (!open.empty() && types[open.back()].body_close < types[t].keyword) open.pop_back();
    if (!open.empty()) types[t].enclosing = open.back();
    open.push_back(static_cast<uint32_t>(t));
  }
  if (!structure.main) return;
  const uint32_t name = structure.methods[*structure.main].name;
  for (size_t t = 0; t < types.size(); ++t)
    if (types[t].body_open < name && name < types[t].body_close) structure.main_type = t;
}

// Whether a code token lies inside a method's body, asked of a few tokens:
// the bodies by where they open, each with the farthest close so far.
class MethodBodies {
 public:
  explicit MethodBodies(const std::vector<Method>& methods) {
    for (const Method& m : methods) bodies_.push_back({m.body_open, m.body_close});
    std::sort(bodies_.begin(), bodies_.end());
    uint32_t farthest = 0;
    for (auto& body : bodies_) farthest = body.second = std::max(farthest, body.second);
  }
  bool contains(size_t c) const {
    auto after = std::upper_bound(bodies_.begin(), bodies_.end(),
                                  std::make_pair(static_cast<uint32_t>(c), kNone));
    // Opened before c (or at it: the brace is not in the body).
    while (after != bodies_.begin()) {
      --after;
      if (after->first < c) return after->second > c;
    }
    return false;
  }

 private:
  std::vector<std::pair<uint32_t, uint32_t>> bodies_;
};

// The opening bracket that encloses code token c, or kNone: back from c,
// over the brackets closed before it.
size_t enclosing_open(const Source& s, size_t c) {
  while (c > 0) {
    --c;
    const std::string_view w = s.word(c);
    if (w == ")" || w == "]" || w == "}") {
      c = s.match(c);
      if (c == kNone) return kNone;
    } else if (w == "(" || w == "[" || w == "{") {
      return c;
    }
  }
  return kNone;
}

// The '(' of the resource list of a try when a declaration starting at
// `first` is one of its resources, else kNone.
size_t resource_list(const Source& s, size_t first) {
  if (first > 1 && s.is(first - 1, "(") && s.is(first - 2, "try")) return first - 1;
  if (first == 0 || !s.is(first - 1, ";")) return kNone;
  const size_t open = enclosing_open(s, first - 1);
  return open != kNone && open > 0 && s.is(open, "(") && s.is(open - 1, "try") ? open : kNone;
}

ReaderUse classify_use(const Source& s, size_t c, const MethodBodies& in_method) {
  ReaderUse use{ReaderUse::Kind::other, static_cast<uint32_t>(c)};
  if (c > 0 && s.is(c - 1, ".")) return use;
  if (s.is(c + 1, ".") && s.is(c + 2, "readLine") && s.is(c + 3, "(") && s.is(c + 4, ")")) {
    use.kind = ReaderUse::Kind::read_line;
    return use;
  }
  // [modifiers] [java.io.]BufferedReader NAME, or var NAME = the console's reader
  size_t type = kNone;
  if (c >= 1 && s.is(c - 1, "BufferedReader"))
    type = c - 1;
  else if (c >= 1 && s.is(c - 1, "var") && s.is(c + 1, "=") && console_reader_at(s, c + 2) != kNone)
    type = c - 1;
  if (type != kNone && type >= 4 && s.is(type - 1, ".")) {
    if (!(s.is(type - 4, "java") && s.is(type - 3, ".") && s.is(type - 2, "io"))) return use;
    type -= 4;
  }
  size_t first = type != kNone ? type : c;
  while (first > 0 && modifiers().contains(s.word(first - 1))) --first;
  const size_t resources = type != kNone ? resource_list(s, first) : kNone;
  if (!starts_statement(s, first) && resources == kNone) return use;
  if (type == kNone && first != c) return use;  // modifiers without a type

  size_t end = c + 1;
  if (s.is(end, "=")) {
    end = console_reader_at(s, end + 1);
    if (end == kNone) {
      // Some other initialiser: a declaration, but not of the console.
      if (type == kNone) return use;
      use.kind = ReaderUse::Kind::declaration;
      use.initialised = true;
      use.first = static_cast<uint32_t>(first);
      use.local = in_method.contains(c);
      return use;
    }
    use.reads_console = true;
    use.initialised = true;
  } else if (type == kNone) {
    return use;
  }
  bool whole;
  if (resources != kNone) {
    // One resource of the list: up to its ';' or the list's ')'.
    const size_t close = s.match(resources);
    whole = close != kNone && (s.is(end, ";") || end == close);
    use.resource_open = static_cast<uint32_t>(resources);
    const bool trailing = s.is(end, ";") && end + 1 == close;
    use.sole_resource = whole && first == resources + 1 && (end == close || trailing);
    if (use.sole_resource) {
      end = close;
    } else if (whole && end == close) {
      --first;  // the last of several: the ';' before it goes with it
      --end;
    }
  } else {
    // Not "NAME = ..., other", "NAME, other" or a statement cut short.
    whole = s.is(end, ";");
  }
  if (!whole) use.reads_console = false;
  use.kind = type != kNone ? ReaderUse::Kind::declaration : ReaderUse::Kind::assignment;
  use.first = static_cast<uint32_t>(first);
  use.last = whole ? static_cast<uint32_t>(end) : kNone;
  use.local = in_method.contains(c);
  if (type == kNone && !use.reads_console) use.kind = ReaderUse::Kind::other;
  return use;
}

// Where another variable of a reader's name lives, so that its uses are not
// taken for the reader's: a method's parameter (the method), or a local
// declared with another initialiser (the rest of its block).
std::optional<std::pair<size_t, size_t>> shadow(const Source& s, const Structure& structure,
                                                const ReaderUse& use) {
  if (use.kind == ReaderUse::Kind::declaration && use.local && use.initialised &&
      !use.reads_console) {
    const size_t open = enclosing_open(s, use.token);
    if (open == kNone || !s.is(open, "{")) return std::nullopt;
    return std::make_pair(static_cast<size_t>(use.token), static_cast<size_t>(s.match(open)));
  }
  if (use.kind != ReaderUse::Kind::other || use.token == 0) return std::nullopt;
  const std::string_view before = s.word(use.token - 1);
  const bool typed = s.is_identifier(use.token - 1) || before == "]" || before == ">" ||
                     (before == "." && s.is(use.token - 2, ".") && s.is(use.token - 3, "."));
  if (!typed || !(s.is(use.token + 1, ",") || s.is(use.token + 1, ")"))) return std::nullopt;
  for (const Method& method : structure.methods)
    if (method.params_open < use.token && use.token < s.match(method.params_open))
      return std::make_pair(static_cast<size_t>(method.params_open),
                            static_cast<size_t>(method.body_close));
  return std::nullopt;
}

// The readers: flux, and every name given a BufferedReader of System.in;
// the Scanners of System.in; and every other use of System.in. The first
// pass (what reads the keyboard) comes with the others, through `at`.
class Readers {
 public:
  explicit Readers(Structure& structure) : structure_(structure) {}

  // A token of the first pass, an identifier.
  void at(const Source& s, size_t c) {
    if (s.is(c, "flux")) add_reader("flux");
    if (!s.is(c, "new")) return;
    if (size_t system = console_scanner_at(s, c); system != kNone) {
      structure_.scanners.push_back(static_cast<uint32_t>(system));
      consumed_.push_back(static_cast<uint32_t>(system));
    } else if (size_t end = console_reader_at(s, c); end != kNone) {
      if (c < 2 || !s.is(c - 1, "=") || !s.is_identifier(c - 2)) return;
      add_reader(s.word(c - 2));
      consumed_.push_back(static_cast<uint32_t>(end - 5));  // its System, before "." "in" ")" ")"
    }
  }

  // The second pass: every use of them, and System.in's other uses.
  void uses(const Source& s);

 private:
  // A program has a reader or two: found by a look at each, not a hash of
  // every identifier.
  ReaderVariable* reader_of(std::string_view name) {
    for (ReaderVariable& reader : structure_.readers)
      if (reader.name.size() == name.size() && reader.name == name) return &reader;
    return nullptr;
  }
  void add_reader(std::string_view name) {
    if (!reader_of(name)) structure_.readers.push_back({name, {}});
  }

  Structure& structure_;
  std::vector<uint32_t> consumed_;  // System tokens the readers and Scanners take, in order
};

void Readers::uses(const Source& s) {
  Structure& structure = structure_;
  std::vector<uint32_t>& consumed = consumed_;
  const MethodBodies in_method(structure.methods);
  size_t next_consumed = 0;
  // The first bytes readers' names start with: other identifiers go at once.
  bool first_bytes[256] = {};
  for (const ReaderVariable& reader : structure.readers)
    first_bytes[static_cast<unsigned char>(reader.name[0])] = true;
  const std::string_view text = s.text();
  for (size_t c = 0; c < s.size(); ++c) {
    if (s.kind(c) != TokenKind::identifier) continue;
    const unsigned char first = static_cast<unsigned char>(text[s.begin(c)]);
    if (first == 'S' && is_standard_input(s, c)) {
      while (next_consumed < consumed.size() && consumed[next_consumed] < c) ++next_consumed;
      if (next_consumed == consumed.size() || consumed[next_consumed] != c)
        structure.standard_input.push_back(static_cast<uint32_t>(c));
    }
    if (!first_bytes[first] && !s.escaped(c)) continue;
    ReaderVariable* reader = reader_of(s.word(c));
    if (!reader) continue;
    // System.in is not a reader named `in`.
    if (c >= 2 && s.is(c - 1, ".") && s.is(c - 2, "System")) continue;
    reader->uses.push_back(classify_use(s, c, in_method));
  }
  // Uses of other variables of the same name are theirs, unless the
  // reader's own declaration lies where they live.
  for (ReaderVariable& reader : structure.readers) {
    std::vector<std::pair<size_t, size_t>> shadows;
    for (const ReaderUse& use : reader.uses)
      if (auto range = shadow(s, structure, use)) shadows.push_back(*range);
    if (shadows.empty()) continue;
    auto within = [&](size_t c) {
      return std::any_of(shadows.begin(), shadows.end(), [c](const std::pair<size_t, size_t>& r) {
        return r.first <= c && c <= r.second;
      });
    };
    bool own_declaration_shadowed = false;
    for (const ReaderUse& use : reader.uses)
      if (use.reads_console && within(use.token)) own_declaration_shadowed = true;
    if (own_declaration_shadowed) continue;
    reader.uses.erase(std::remove_if(reader.uses.begin(), reader.uses.end(),
                                     [&](const ReaderUse& use) { return within(use.token); }),
                      reader.uses.end());
  }
  // A name met only where it is not a variable (System.in) is no reader.
  structure.readers.erase(
      std::remove_if(structure.readers.begin(), structure.readers.end(),
                     [](const ReaderVariable& reader) { return reader.uses.empty(); }),
      structure.readers.end());
}

}  // namespace

bool is_statement_keyword(std::string_view word) {
  static const WordSet words = {"if",     "for",    "while", "switch", "catch", "synchronized",
                                "return", "new",    "throw", "else",   "do",    "try",
                                "case",   "assert", "super", "this"};
  return words.contains(word);
}

bool is_main_signature(const Source& s, const Method& method) {
  if (!s.is(method.name, "main") || method.name == 0 || !s.is(method.name - 1, "void"))
    return false;
  size_t c = method.params_open + 1;
  if (s.is(c, "final")) ++c;
  if (s.is(c, "java") && s.is(c + 1, ".") && s.is(c + 2, "lang") && s.is(c + 3, ".")) c += 4;
  if (!s.is(c, "String")) return false;
  ++c;
  if (s.is(c, "[") && s.is(c + 1, "]") && s.is_identifier(c + 2))
    c += 3;
  else if (s.is(c, ".") && s.is(c + 1, ".") && s.is(c + 2, ".") && s.is_identifier(c + 3))
    c += 4;
  else if (s.is_identifier(c) && s.is(c + 1, "[") && s.is(c + 2, "]"))
    c += 3;
  else
    return false;
  return s.is(c, ")") && s.match(method.params_open) == c;
}

Structure analyse_structure(const Source& s) {
  Structure structure;
  // Room for what a source usually has: growing is rare, and room not used
  // costs no memory.
  structure.methods.reserve(s.text().size() / 128 + 16);
  structure.tries.reserve(s.text().size() / 256 + 16);
  structure.handler_storage.reserve(s.text().size() / 256 + 16);
  Readers readers(structure);
  // One pass for the methods, the tries and what reads the keyboard.
  const std::string_view text = s.text();
  for (size_t c = 0; c < s.size(); ++c) {
    const TokenKind kind = s.kind(c);
    if (kind == TokenKind::punctuation) {
      if (text[s.begin(c)] == '(') method_at(s, c, structure);
    } else if (kind == TokenKind::identifier) {
      if (s.is(c, "try")) try_at(s, c, structure);
      switch (text[s.begin(c)]) {
        case 'c':
        case 'i':
        case 'e':
        case 'r':
          type_at(s, c, structure);
          break;
        case 'p':
          if (c == 0 && s.is(c, "package")) package_at(s, structure);
          break;
        default:
          break;
      }
      readers.at(s, c);
    }
  }
  for (size_t m = 0; m < structure.methods.size(); ++m) {
    if (is_main_signature(s, structure.methods[m])) {
      structure.main = m;
      break;
    }
  }
  nest_types(structure);
  readers.uses(s);
  return structure;
}

const ReaderVariable* find_reader(const Structure& structure, std::string_view name) {
  for (const ReaderVariable& reader : structure.readers)
    if (reader.name == name) return &reader;
  return nullptr;
}

bool is_convertible(const ReaderVariable& reader) {
  bool declared = false;
  for (const ReaderUse& use : reader.uses) {
    switch (use.kind) {
      case ReaderUse::Kind::declaration:
        if ((!use.reads_console && use.initialised) || use.last == kNone) return false;
        declared = true;
        break;
      case ReaderUse::Kind::assignment:
      case ReaderUse::Kind::read_line:
        break;
      case ReaderUse::Kind::other:
        return false;
    }
  }
  // A declaration without its System.in reader must be given one later.
  const bool has_reader = std::any_of(reader.uses.begin(), reader.uses.end(),
                                      [](const ReaderUse& u) { return u.reads_console; });
  return declared && has_reader;
}

bool in_static_initialiser(const Source& s, const Structure& structure, size_t type, size_t c) {
  const TypeDeclaration& t = structure.type_declarations[type];
  if (c <= t.body_open || c >= t.body_close) return false;
  // Not in a method, nor in a type declared inside: that runs later.
  for (const Method& m : structure.methods)
    if (m.params_open < c && c < m.body_close) return false;
  for (const TypeDeclaration& inner : structure.type_declarations)
    if (inner.keyword > t.body_open && inner.keyword < c && c < inner.body_close) return false;
  // Out through the brackets around c to a block: the class's body, or a
  // static block directly in it.
  size_t block = c;
  for (;;) {
    block = enclosing_open(s, block);
    if (block == kNone) return false;
    if (block == t.body_open) break;
    if (!s.is(block, "{")) continue;
    const size_t around = enclosing_open(s, block);
    if (around == t.body_open && block > 0 && s.is(block - 1, "static")) return true;
    // An instance's initialiser runs when an object is made.
    if (around == t.body_open && starts_statement(s, block)) return false;
  }
  // A member of the class: back to where it starts, then its modifiers.
  size_t at = c;
  while (at > t.body_open + 1) {
    const size_t previous = at - 1;
    const std::string_view w = s.word(previous);
    if (w == ";") break;
    if (w == "}") {
      // Closes a part of this member (an array, a lambda) or ends the one before.
      const std::string_view next = s.word(at);
      if (next != ")" && next != "," && next != ";" && next != "." && next != "]") break;
    }
    if (w == ")" || w == "]" || w == "}") {
      const size_t m = s.match(previous);
      if (m == kNone) return false;
      at = m;
      continue;
    }
    at = previous;
  }
  for (size_t m = at; m < c && !s.is(m, "="); ++m)
    if (s.is(m, "static")) return true;
  return false;
}

const TypeDeclaration* other_than_file_class(const Source& s, const Structure& structure,
                                             std::string_view name) {
  const TypeDeclaration* shown = nullptr;
  for (const TypeDeclaration& type : structure.type_declarations) {
    if (type.enclosing != kNone) continue;
    if (s.word(type.name) == name) return nullptr;
    if (!shown) shown = &type;
  }
  if (structure.main_type) {
    size_t top = *structure.main_type;
    while (structure.type_declarations[top].enclosing != kNone)
      top = structure.type_declarations[top].enclosing;
    shown = &structure.type_declarations[top];
  }
  return shown;
}

std::string package_name(const Source& s, const Structure& structure) {
  std::string name;
  if (structure.package_keyword == kNone) return name;
  for (size_t c = structure.package_keyword + 1; c < structure.package_end; ++c) name += s.word(c);
  return name;
}

bool is_modifier(std::string_view word) { return modifiers().contains(word); }

bool is_system_console(const Source& s, size_t c) {
  return s.is(c, "System") && s.is(c + 1, ".") && s.is(c + 2, "console") && s.is(c + 3, "(") &&
         !(c > 0 && s.is(c - 1, "."));
}

bool is_io_exception(const TypeName& type) { return type.name == "IOException"; }

bool catches_all_io(const TypeName& type) {
  return type.name == "IOException" || type.name == "Exception" || type.name == "Throwable";
}

bool is_java_io_type(std::string_view name) { return java_io_types().contains(name); }

bool starts_statement(const Source& s, size_t c) {
  return c == 0 || s.is(c - 1, ";") || s.is(c - 1, "{") || s.is(c - 1, "}");
}

}  // namespace java
