#include "convert/java_structure.h"

#include <algorithm>
#include <array>
#include <deque>
#include <unordered_map>
#include <unordered_set>

namespace convert {
namespace {

template <size_t N>
bool one_of(std::string_view word, const std::array<std::string_view, N>& words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// Followed by '(' without being a call or a declaration.
constexpr std::array<std::string_view, 16> kStatementKeywords = {
    "if",    "for",  "while", "switch", "catch", "synchronized", "return", "new",
    "throw", "else", "do",    "try",    "case",  "assert",       "super",  "this"};

constexpr std::array<std::string_view, 8> kModifiers = {
    "public", "private", "protected", "static", "final", "transient", "volatile", "abstract"};

// clang-format off
// Thrown by `throw new X(...)` without a throws clause being needed.
constexpr std::array<std::string_view, 14> kUncheckedExceptions = {
    "RuntimeException",          "IllegalArgumentException",
    "IllegalStateException",     "NumberFormatException",
    "ArithmeticException",       "UnsupportedOperationException",
    "NullPointerException",      "IndexOutOfBoundsException",
    "ArrayIndexOutOfBoundsException", "UncheckedIOException",
    "Error",                     "AssertionError",
    "ClassCastException",        "InputMismatchException"};

// Subclasses of IOException a throws clause may name.
constexpr std::array<std::string_view, 22> kIoExceptions = {
    "IOException",           "FileNotFoundException",   "EOFException",
    "CharConversionException", "InterruptedIOException", "InvalidClassException",
    "InvalidObjectException", "NotActiveException",      "NotSerializableException",
    "ObjectStreamException",  "OptionalDataException",   "StreamCorruptedException",
    "SyncFailedException",    "UTFDataFormatException",  "UnsupportedEncodingException",
    "WriteAbortedException",  "MalformedURLException",   "UnknownHostException",
    "SocketException",        "NoSuchFileException",     "FileSystemException",
    "AccessDeniedException"};

// Methods of the class library that declare IOException, by name; called
// on System.out, System.err or Console.out they cannot throw it.
constexpr std::array<std::string_view, 48> kIoMethods = {
    "read",          "readLine",       "readAllBytes",  "readNBytes",    "readFully",
    "readObject",    "readUTF",        "readInt",       "readDouble",    "readLong",
    "readChar",      "readBoolean",    "readByte",      "readShort",     "readFloat",
    "readUnsignedByte", "readUnsignedShort", "readString", "readAllLines", "write",
    "writeObject",   "writeUTF",       "writeInt",      "writeDouble",   "writeBytes",
    "writeChars",    "writeLong",      "writeChar",     "writeBoolean",  "writeByte",
    "writeShort",    "writeFloat",     "writeString",   "newLine",       "flush",
    "close",         "ready",          "skip",          "skipBytes",     "mark",
    "reset",         "available",      "transferTo",    "createNewFile", "createTempFile",
    "getCanonicalPath", "getCanonicalFile", "exec"};

// Constructors that declare IOException (or a subclass).
constexpr std::array<std::string_view, 15> kIoConstructors = {
    "FileReader",         "FileWriter",        "FileInputStream", "FileOutputStream",
    "RandomAccessFile",   "PrintWriter",       "PrintStream",     "Scanner",
    "ObjectInputStream",  "ObjectOutputStream", "Socket",         "ServerSocket",
    "ZipFile",            "JarFile",           "URL"};

// The public types of java.io, as far as Java 25: the names an import of
// java.io.* can bring in.
constexpr std::array<std::string_view, 81> kJavaIoTypes = {
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
// clang-format on

bool is_open_bracket(std::string_view w) { return w == "(" || w == "[" || w == "{"; }

char closing_of(char open) { return open == '(' ? ')' : open == '[' ? ']' : '}'; }

// A dotted name starting at `c`: IDENT (. IDENT)*; nullopt when there is none.
std::optional<TypeName> type_name_at(const JavaSource& s, size_t c) {
  if (!s.is_identifier(c)) return std::nullopt;
  TypeName type{c, c, s.word(c)};
  while (s.is(type.last + 1, ".") && s.is_identifier(type.last + 2)) type.last += 2;
  type.name = s.word(type.last);
  return type;
}

// The dotted chain that ends at `c` (an identifier): its first token.
size_t chain_start(const JavaSource& s, size_t c) {
  while (c >= 2 && s.is(c - 1, ".") && s.is_identifier(c - 2)) c -= 2;
  return c;
}

// `java . io . NAME` or NAME at c: the index of NAME, or kNone.
size_t qualified_io(const JavaSource& s, size_t c, std::string_view name) {
  if (s.is(c, "java") && s.is(c + 1, ".") && s.is(c + 2, "io") && s.is(c + 3, ".")) c += 4;
  return s.is(c, name) ? c : kNone;
}

// new BufferedReader(new InputStreamReader(System.in)) from c; the index
// after it, or kNone.
size_t console_reader_at(const JavaSource& s, size_t c) {
  if (!s.is(c, "new")) return kNone;
  c = qualified_io(s, c + 1, "BufferedReader");
  if (c == kNone || !s.is(c + 1, "(") || !s.is(c + 2, "new")) return kNone;
  c = qualified_io(s, c + 3, "InputStreamReader");
  if (c == kNone) return kNone;
  for (std::string_view w : {"(", "System", ".", "in", ")", ")"})
    if (!s.is(++c, w)) return kNone;
  return c + 1;
}

bool starts_statement(const JavaSource& s, size_t c) {
  return c == 0 || s.is(c - 1, ";") || s.is(c - 1, "{") || s.is(c - 1, "}");
}

std::vector<Method> find_methods(const JavaSource& s) {
  std::vector<Method> methods;
  for (size_t c = 1; c < s.size(); ++c) {
    if (!s.is(c, "(") || !s.is_identifier(c - 1) || one_of(s.word(c - 1), kStatementKeywords))
      continue;
    if (c >= 2 && (s.is(c - 2, "new") || s.is(c - 2, ".") || s.is(c - 2, "=") || s.is(c - 2, "(") ||
                   s.is(c - 2, ",") || s.is(c - 2, "return")))
      continue;
    size_t close = s.match(c);
    if (close == kNone) continue;
    Method method{c - 1, c, kNone, {}, kNone, kNone};
    size_t next = close + 1;
    if (s.is(next, "throws")) {
      method.throws_keyword = next++;
      while (auto type = type_name_at(s, next)) {
        method.throws.push_back(*type);
        next = type->last + 1;
        if (!s.is(next, ",")) break;
        ++next;
      }
    }
    if (!s.is(next, "{") || s.match(next) == kNone) continue;
    method.body_open = next;
    method.body_close = s.match(next);
    methods.push_back(std::move(method));
  }
  return methods;
}

std::vector<TryStatement> find_tries(const JavaSource& s) {
  std::vector<TryStatement> tries;
  for (size_t c = 0; c < s.size(); ++c) {
    if (!s.is(c, "try") || !s.is_identifier(c)) continue;
    TryStatement statement{c, kNone, kNone, kNone, {}};
    size_t next = c + 1;
    if (s.is(next, "(")) {
      statement.resources_open = next;
      next = s.match(next);
      if (next == kNone) continue;
      ++next;
    }
    if (!s.is(next, "{") || s.match(next) == kNone) continue;
    statement.body_open = next;
    statement.body_close = s.match(next);
    next = statement.body_close + 1;
    for (;;) {
      Handler handler{next, {}, kNone, kNone};
      if (s.is(next, "catch") && s.is(next + 1, "(") && s.match(next + 1) != kNone) {
        size_t close = s.match(next + 1);
        size_t t = next + 2;
        if (s.is(t, "final")) ++t;
        // Types separated by '|', then the parameter's name before ')'.
        while (auto type = type_name_at(s, t)) {
          if (type->last + 1 >= close) break;
          handler.types.push_back(*type);
          t = type->last + 1;
          if (!s.is(t, "|")) break;
          ++t;
        }
        next = close + 1;
      } else if (s.is(next, "finally")) {
        ++next;
      } else {
        break;
      }
      if (!s.is(next, "{") || s.match(next) == kNone) break;
      handler.block_open = next;
      handler.block_close = s.match(next);
      statement.handlers.push_back(std::move(handler));
      next = s.match(next) + 1;
    }
    tries.push_back(std::move(statement));
  }
  return tries;
}

// For each code token, whether it lies inside a method's body.
std::vector<bool> method_bodies(const JavaSource& s, const std::vector<Method>& methods) {
  std::vector<int> depth(s.size() + 1);
  for (const Method& m : methods) {
    ++depth[m.body_open + 1];
    --depth[m.body_close];
  }
  std::vector<bool> inside(s.size());
  int running = 0;
  for (size_t c = 0; c < s.size(); ++c) inside[c] = (running += depth[c]) > 0;
  return inside;
}

// `new [java.util.]Scanner(System.in)` from c: the index of `System`, or kNone.
size_t console_scanner_at(const JavaSource& s, size_t c) {
  if (!s.is(c, "new")) return kNone;
  ++c;
  if (s.is(c, "java") && s.is(c + 1, ".") && s.is(c + 2, "util") && s.is(c + 3, ".")) c += 4;
  if (!s.is(c, "Scanner") || !s.is(c + 1, "(")) return kNone;
  for (size_t k = 0; k < 4; ++k)
    if (!s.is(c + 2 + k, std::array<std::string_view, 4>{"System", ".", "in", ")"}[k]))
      return kNone;
  return c + 2;
}

// System.in at c (its `System`), java.lang spelled out or not.
bool is_standard_input(const JavaSource& s, size_t c) {
  return s.is(c, "System") && s.is(c + 1, ".") && s.is(c + 2, "in") &&
         !(c > 0 && s.is(c - 1, ".") && !(c >= 4 && s.is(c - 2, "lang") && s.is(c - 4, "java")));
}

ReaderUse classify_use(const JavaSource& s, size_t c, const std::vector<bool>& in_method) {
  ReaderUse use{ReaderUse::Kind::other, c};
  if (c > 0 && s.is(c - 1, ".")) return use;
  if (s.is(c + 1, ".") && s.is(c + 2, "readLine") && s.is(c + 3, "(") && s.is(c + 4, ")")) {
    use.kind = ReaderUse::Kind::read_line;
    return use;
  }
  // [modifiers] [java.io.]BufferedReader flux
  size_t type = c >= 1 && s.is(c - 1, "BufferedReader") ? c - 1 : kNone;
  if (type != kNone && type >= 4 && s.is(type - 1, ".")) {
    if (!(s.is(type - 4, "java") && s.is(type - 3, ".") && s.is(type - 2, "io"))) return use;
    type -= 4;
  }
  size_t first = type != kNone ? type : c;
  while (first > 0 && one_of(s.word(first - 1), kModifiers)) --first;
  bool resource = first > 1 && s.is(first - 1, "(") && s.is(first - 2, "try");
  if (!starts_statement(s, first) && !resource) return use;
  if (type == kNone && first != c) return use;  // modifiers without a type

  size_t end = c + 1;
  if (s.is(end, "=")) {
    end = console_reader_at(s, end + 1);
    if (end == kNone) {
      // Some other initialiser: a declaration, but not of the console.
      if (type == kNone) return use;
      use.kind = ReaderUse::Kind::declaration;
      use.initialised = true;
      use.first = first;
      use.local = in_method[c];
      return use;
    }
    use.reads_console = true;
    use.initialised = true;
  } else if (type == kNone) {
    return use;
  }
  if (resource) {
    // The only resource: "(decl)" or "(decl;)".
    if (s.is(end, ";")) ++end;
    if (!s.is(end, ")") || s.match(first - 1) != end) {
      use.reads_console = false;
    }
    use.resource_open = first - 1;
  } else if (!s.is(end, ";")) {
    use.reads_console = false;  // "flux = ..., other" and the like
  }
  use.kind = type != kNone ? ReaderUse::Kind::declaration : ReaderUse::Kind::assignment;
  use.first = first;
  use.last = end;
  use.local = in_method[c];
  if (type == kNone && !use.reads_console) use.kind = ReaderUse::Kind::other;
  return use;
}

}  // namespace

JavaSource::JavaSource(std::string_view text) : text_(text), tokens_(lex_java(text)) {
  code_.reserve(tokens_.size() / 2 + 16);
  for (size_t i = 0; i < tokens_.size(); ++i) {
    if (!is_code(tokens_[i])) continue;
    if (tokens_[i].escaped)
      decoded_[code_.size()] =
          decode_identifier(text_.substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin));
    code_.push_back(static_cast<uint32_t>(i));
  }
  match_.assign(code_.size(), kUnmatched);
  std::vector<size_t> open;
  for (size_t c = 0; c < code_.size(); ++c) {
    const Token& t = token(c);
    if (t.kind != TokenKind::punctuation) continue;
    std::string_view w = word(c);
    if (is_open_bracket(w)) {
      open.push_back(c);
    } else if (w == ")" || w == "]" || w == "}") {
      // A stray closer does not close anything it does not match.
      if (open.empty() || closing_of(word(open.back())[0]) != w[0]) {
        balanced_ = false;
        continue;
      }
      match_[open.back()] = static_cast<uint32_t>(c);
      match_[c] = static_cast<uint32_t>(open.back());
      open.pop_back();
    }
  }
  if (!open.empty()) balanced_ = false;
  line_starts_.push_back(0);
  for (size_t i = 0; i < text_.size(); ++i) {
    if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 == text_.size() || text_[i + 1] != '\n')))
      line_starts_.push_back(i + 1);
  }
}

std::string_view JavaSource::word(size_t c) const {
  if (c >= code_.size()) return {};
  const Token& t = token(c);
  if (t.escaped) return decoded_.at(c);
  return text_.substr(t.begin, t.end - t.begin);
}

size_t JavaSource::line_start(size_t line) const {
  return line >= 1 && line <= line_starts_.size() ? line_starts_[line - 1] : text_.size();
}

size_t JavaSource::line_of(size_t offset) const {
  return static_cast<size_t>(std::upper_bound(line_starts_.begin(), line_starts_.end(), offset) -
                             line_starts_.begin());
}

bool is_main_signature(const JavaSource& s, const Method& method) {
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

JavaStructure analyse_structure(const JavaSource& s) {
  JavaStructure structure;
  structure.methods = find_methods(s);
  structure.tries = find_tries(s);
  for (size_t m = 0; m < structure.methods.size(); ++m) {
    if (is_main_signature(s, structure.methods[m])) {
      structure.main = m;
      break;
    }
  }
  const std::vector<bool> in_method = method_bodies(s, structure.methods);

  // The readers: flux, and every name given a BufferedReader of System.in;
  // the System.in of those and of the Scanners is taken care of.
  std::unordered_map<std::string_view, size_t> reader_of;
  std::vector<bool> consumed(s.size());
  auto add_reader = [&](std::string_view name) {
    if (reader_of.emplace(name, structure.readers.size()).second)
      structure.readers.push_back({name, {}});
  };
  for (size_t c = 0; c < s.size(); ++c) {
    if (s.is(c, "flux") && s.is_identifier(c)) add_reader("flux");
    if (!s.is(c, "new")) continue;
    if (size_t system = console_scanner_at(s, c); system != kNone) {
      structure.scanners.push_back(system);
      consumed[system] = true;
    } else if (size_t end = console_reader_at(s, c); end != kNone) {
      if (c < 2 || !s.is(c - 1, "=") || !s.is_identifier(c - 2)) continue;
      add_reader(s.word(c - 2));
      consumed[end - 5] = true;  // its System, before "." "in" ")" ")"
    }
  }
  for (size_t c = 0; c < s.size(); ++c) {
    if (is_standard_input(s, c) && !consumed[c]) structure.standard_input.push_back(c);
    if (!s.is_identifier(c)) continue;
    auto reader = reader_of.find(s.word(c));
    if (reader == reader_of.end()) continue;
    // System.in is not a reader named `in`.
    if (c >= 2 && s.is(c - 1, ".") && s.is(c - 2, "System")) continue;
    structure.readers[reader->second].uses.push_back(classify_use(s, c, in_method));
  }
  // A name met only where it is not a variable (System.in) is no reader.
  structure.readers.erase(
      std::remove_if(structure.readers.begin(), structure.readers.end(),
                     [](const ReaderVariable& reader) { return reader.uses.empty(); }),
      structure.readers.end());
  return structure;
}

const ReaderVariable* find_reader(const JavaStructure& structure, std::string_view name) {
  for (const ReaderVariable& reader : structure.readers)
    if (reader.name == name) return &reader;
  return nullptr;
}

bool is_convertible(const ReaderVariable& reader) {
  bool declared = false;
  for (const ReaderUse& use : reader.uses) {
    switch (use.kind) {
      case ReaderUse::Kind::declaration:
        if (!use.reads_console && use.initialised) return false;
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
  bool has_reader = std::any_of(reader.uses.begin(), reader.uses.end(),
                                [](const ReaderUse& u) { return u.reads_console; });
  return declared && has_reader;
}

bool is_io_exception(const TypeName& type) { return type.name == "IOException"; }

bool catches_all_io(const TypeName& type) {
  return type.name == "IOException" || type.name == "Exception" || type.name == "Throwable";
}

bool is_java_io_type(std::string_view name) { return one_of(name, kJavaIoTypes); }

IoAnalysis analyse_io(const JavaSource& s, const JavaStructure& structure,
                      const IoOptions& options) {
  const auto& methods = structure.methods;
  const auto& tries = structure.tries;
  const size_t method_count = methods.size();
  const size_t nodes = method_count + tries.size();

  // A method passes an IOException on to its callers for good when its
  // throws clause names a type covering it that no conversion removes.
  std::vector<bool> throws_for_good(method_count), throws_io(method_count);
  std::unordered_map<std::string_view, std::vector<size_t>> by_name;
  std::unordered_set<std::string_view> names_for_good;
  std::vector<bool> declaration_name(s.size());
  for (size_t m = 0; m < method_count; ++m) {
    by_name[s.word(methods[m].name)].push_back(m);
    declaration_name[methods[m].name] = true;
    for (const TypeName& type : methods[m].throws) {
      if (is_io_exception(type))
        throws_io[m] = !options.io_throws_removed;
      else if (catches_all_io(type) || one_of(type.name, kIoExceptions))
        throws_for_good[m] = true;
    }
    if (throws_for_good[m]) names_for_good.insert(s.word(methods[m].name));
  }

  // Scopes: method bodies and try blocks (resources included), nested.
  struct Scope {
    size_t open, close, node;
  };
  std::vector<Scope> scopes;
  for (size_t m = 0; m < method_count; ++m)
    scopes.push_back({methods[m].body_open, methods[m].body_close, m});
  for (size_t t = 0; t < tries.size(); ++t) {
    size_t open = tries[t].resources_open != kNone ? tries[t].resources_open : tries[t].body_open;
    scopes.push_back({open, tries[t].body_close, method_count + t});
  }
  std::sort(scopes.begin(), scopes.end(), [](const Scope& a, const Scope& b) {
    return a.open != b.open ? a.open < b.open : a.close > b.close;
  });

  auto converted = [&](std::string_view name) {
    return std::find(options.converted_readers.begin(), options.converted_readers.end(), name) !=
           options.converted_readers.end();
  };
  // A try whose one resource is a console reader loses it.
  std::vector<bool> removed_resource(s.size());
  if (options.readers_removed)
    for (const ReaderVariable& reader : structure.readers)
      if (converted(reader.name))
        for (const ReaderUse& use : reader.uses)
          if (use.resource_open != kNone && use.reads_console)
            removed_resource[use.resource_open] = true;
  // The readers left as they are: any use of them may throw.
  std::unordered_set<std::string_view> kept_readers;
  for (const ReaderVariable& reader : structure.readers)
    if (!converted(reader.name)) kept_readers.insert(reader.name);

  std::vector<bool> direct(nodes);
  std::vector<size_t> parent(nodes, kNone);
  std::vector<std::vector<std::string_view>> calls(nodes);
  std::vector<size_t> stack;
  size_t next_scope = 0;
  for (size_t c = 0; c < s.size(); ++c) {
    while (!stack.empty() && scopes[stack.back()].close < c) stack.pop_back();
    while (next_scope < scopes.size() && scopes[next_scope].open == c) {
      if (!stack.empty()) parent[scopes[next_scope].node] = scopes[stack.back()].node;
      stack.push_back(next_scope++);
    }
    if (stack.empty()) continue;
    const size_t node = scopes[stack.back()].node;
    if (c == scopes[stack.back()].open && node >= method_count &&
        tries[node - method_count].resources_open == c && !removed_resource[c]) {
      direct[node] = true;  // closing a resource may throw
      continue;
    }
    const std::string_view w = s.word(c);
    if (!s.is_identifier(c)) continue;
    if (w == "throw") {
      auto type = s.is(c + 1, "new") ? type_name_at(s, c + 2) : std::nullopt;
      if (!type || !one_of(type->name, kUncheckedExceptions)) direct[node] = true;
      continue;
    }
    if (kept_readers.count(w) && !(c >= 2 && s.is(c - 1, ".") && s.is(c - 2, "System"))) {
      direct[node] = true;
      continue;
    }
    if (!s.is(c + 1, "(") || declaration_name[c] || one_of(w, kStatementKeywords)) continue;
    const size_t start = chain_start(s, c);
    if (start > 0 && s.is(start - 1, "new")) {
      if (by_name.count(w)) calls[node].push_back(w);
      if (!one_of(w, kIoConstructors)) continue;
      // Reading the keyboard or writing the screen opens nothing.
      bool standard = s.is(c + 2, "System") && s.is(c + 3, ".") &&
                      (s.is(c + 4, "in") || s.is(c + 4, "out") || s.is(c + 4, "err"));
      if (!standard) direct[node] = true;
      continue;
    }
    if (start == c) {  // unqualified: one of this file's methods, or inherited
      if (by_name.count(w)) calls[node].push_back(w);
      continue;
    }
    const std::string_view receiver = s.word(start);
    if (receiver == "Files") {
      direct[node] = true;
      continue;
    }
    if (!one_of(w, kIoMethods)) continue;
    const bool screen = c == start + 4 && (receiver == "System" || receiver == "Console") &&
                        (s.is(start + 2, "out") || s.is(start + 2, "err"));
    const bool console_read = c == start + 2 && w == "readLine" && converted(receiver);
    if (!screen && !console_read) direct[node] = true;
  }

  // What can throw, spread from the direct sources: a method to its
  // callers, while it keeps a clause saying so; a try block to the scope
  // around it, unless one of its catches takes every IOException.
  auto passes_on = [&](size_t node) {
    if (node < method_count) return throws_io[node] || throws_for_good[node];
    const TryStatement& t = tries[node - method_count];
    for (const Handler& h : t.handlers)
      for (const TypeName& type : h.types)
        if (catches_all_io(type)) return false;
    return true;
  };
  std::unordered_map<std::string_view, std::vector<size_t>> callers;
  for (size_t n = 0; n < nodes; ++n)
    for (std::string_view name : calls[n]) callers[name].push_back(n);

  std::vector<bool> value(nodes);
  std::deque<size_t> queue;
  auto mark = [&](size_t n) {
    if (!value[n]) {
      value[n] = true;
      queue.push_back(n);
    }
  };
  for (size_t n = 0; n < nodes; ++n) {
    if (direct[n]) mark(n);
    for (std::string_view name : calls[n])
      if (names_for_good.count(name)) mark(n);
  }
  // Overloads share their callers: each name spreads once.
  std::unordered_set<std::string_view> spread;
  while (!queue.empty()) {
    const size_t n = queue.front();
    queue.pop_front();
    if (!passes_on(n)) continue;
    if (n >= method_count) {
      if (parent[n] != kNone) mark(parent[n]);
      continue;
    }
    if (!throws_io[n] || !spread.insert(s.word(methods[n].name)).second) continue;
    auto it = callers.find(s.word(methods[n].name));
    if (it != callers.end())
      for (size_t caller : it->second) mark(caller);
  }

  IoAnalysis analysis;
  analysis.method_body_throws.assign(value.begin(), value.begin() + method_count);
  analysis.try_body_throws.assign(value.begin() + method_count, value.end());
  return analysis;
}

}  // namespace convert
