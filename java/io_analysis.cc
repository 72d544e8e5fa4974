#include "java/io_analysis.h"

#include <algorithm>
#include <deque>
#include <unordered_set>

#include "java/word_set.h"

namespace java {
namespace {

// clang-format off
// Thrown by `throw new X(...)` without a throws clause being needed.
const WordSet& unchecked_exceptions() {
  static const WordSet words = {
    "RuntimeException",          "IllegalArgumentException",
    "IllegalStateException",     "NumberFormatException",
    "ArithmeticException",       "UnsupportedOperationException",
    "NullPointerException",      "IndexOutOfBoundsException",
    "ArrayIndexOutOfBoundsException", "UncheckedIOException",
    "Error",                     "AssertionError",
    "ClassCastException",        "InputMismatchException"};
  return words;
}

// Subclasses of IOException a throws clause may name.
const WordSet& io_exceptions() {
  static const WordSet words = {
    "IOException",           "FileNotFoundException",   "EOFException",
    "CharConversionException", "InterruptedIOException", "InvalidClassException",
    "InvalidObjectException", "NotActiveException",      "NotSerializableException",
    "ObjectStreamException",  "OptionalDataException",   "StreamCorruptedException",
    "SyncFailedException",    "UTFDataFormatException",  "UnsupportedEncodingException",
    "WriteAbortedException",  "MalformedURLException",   "UnknownHostException",
    "SocketException",        "NoSuchFileException",     "FileSystemException",
    "AccessDeniedException"};
  return words;
}

// Methods of the class library that declare IOException, by name; called
// on System.out, System.err or Console.out they cannot throw it.
const WordSet& io_methods() {
  static const WordSet words = {
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
  return words;
}

// Constructors that declare IOException (or a subclass).
const WordSet& io_constructors() {
  static const WordSet words = {
    "FileReader",         "FileWriter",        "FileInputStream", "FileOutputStream",
    "RandomAccessFile",   "PrintWriter",       "PrintStream",     "Scanner",
    "ObjectInputStream",  "ObjectOutputStream", "Socket",         "ServerSocket",
    "ZipFile",            "JarFile",           "URL"};
  return words;
}
// clang-format on

// A dotted name starting at `c`: its last identifier, or "" when none.
std::string_view type_at(const Source& s, size_t c) {
  if (!s.is_identifier(c)) return {};
  while (s.is(c + 1, ".") && s.is_identifier(c + 2)) c += 2;
  return s.word(c);
}

// The dotted chain that ends at `c` (an identifier): its first token.
size_t chain_start(const Source& s, size_t c) {
  while (c >= 2 && s.is(c - 1, ".") && s.is_identifier(c - 2)) c -= 2;
  return c;
}

// Method names, numbered as they come, found again by a hash of their
// bytes: looked up at every call of a big source.
class NameTable {
 public:
  explicit NameTable(size_t expected) {
    size_t capacity = 16;
    while (capacity < 2 * expected) capacity *= 2;
    slots_.assign(capacity, kNone);
  }

  // The name's number, and whether it was new.
  std::pair<uint32_t, bool> insert(std::string_view name) {
    size_t slot = hash(name) & (slots_.size() - 1);
    for (; slots_[slot] != kNone; slot = (slot + 1) & (slots_.size() - 1))
      if (names_[slots_[slot]] == name) return {slots_[slot], false};
    slots_[slot] = static_cast<uint32_t>(names_.size());
    names_.push_back(name);
    return {slots_[slot], true};
  }

  uint32_t find(std::string_view name) const {
    for (size_t slot = hash(name) & (slots_.size() - 1); slots_[slot] != kNone;
         slot = (slot + 1) & (slots_.size() - 1))
      if (names_[slots_[slot]] == name) return slots_[slot];
    return kNone;
  }

  size_t size() const { return names_.size(); }

 private:
  static uint64_t hash(std::string_view name) {
    uint64_t h = 1469598103934665603u;  // FNV-1a
    for (unsigned char c : name) h = (h ^ c) * 1099511628211u;
    return h ^ (h >> 29);
  }

  std::vector<uint32_t> slots_;
  std::vector<std::string_view> names_;
};

// Phase 1. What each method's throws clause passes on to its callers: an
// IOException it keeps, or a type covering it that no conversion removes
// ("for good"). The methods' names, numbered, for the calls.
struct Clauses {
  std::vector<bool> passes_io;
  std::vector<bool> for_good;
  NameTable name_id{0};
  std::vector<uint32_t> method_name;   // per method, its name's number
  std::vector<bool> name_for_good;     // per name: some method of it throws for good
  std::vector<bool> declaration_name;  // per code token: a method's name where declared
};

Clauses throws_clauses(const Program& program, const IoOptions& options) {
  const Source& s = program.source;
  const auto& methods = program.structure.methods;
  Clauses clauses;
  clauses.name_id = NameTable(methods.size());
  clauses.passes_io.resize(methods.size());
  clauses.for_good.resize(methods.size());
  clauses.declaration_name.resize(s.size());
  for (size_t m = 0; m < methods.size(); ++m) {
    const auto [name, added] = clauses.name_id.insert(s.word(methods[m].name));
    if (added) clauses.name_for_good.push_back(false);
    clauses.method_name.push_back(name);
    clauses.declaration_name[methods[m].name] = true;
    for (const TypeName& type : program.structure.throws(methods[m])) {
      if (is_io_exception(type))
        clauses.passes_io[m] = !options.io_throws_removed;
      else if (catches_all_io(type) || io_exceptions().contains(type.name))
        clauses.for_good[m] = true;
    }
    if (clauses.for_good[m]) clauses.name_for_good[name] = true;
  }
  return clauses;
}

// Classes whose close() declares no IOException: a try-with-resources of
// only these throws none on closing them.
const WordSet& quiet_closers() {
  static const WordSet words = {"PrintWriter",  "PrintStream",     "Scanner",
                                "Formatter",    "CharArrayWriter", "CharArrayReader",
                                "StringReader", "ConsoleReader"};
  return words;
}

// Whether closing the resources of the list opened at `open` may throw an
// IOException, those within `removed` (token ranges that go) left out.
bool closing_throws(const Source& s, size_t open,
                    const std::vector<std::pair<uint32_t, uint32_t>>& removed) {
  const size_t close = s.match(open);
  if (close == kNone) return true;
  size_t start = open + 1;
  for (size_t c = start; c <= close; ++c) {
    if (c < close && !s.is(c, ";")) {
      const std::string_view w = s.word(c);
      if (w == "(" || w == "[" || w == "{") c = s.match(c);
      if (c == kNone) return true;
      continue;
    }
    // One resource: start..c - 1.
    const size_t first = start, last = c;
    start = c + 1;
    if (first >= last) continue;
    const bool goes = std::any_of(removed.begin(), removed.end(), [&](const auto& range) {
      return range.first <= first && last - 1 <= range.second;
    });
    if (goes) continue;
    size_t type = first;
    if (s.is(type, "final")) ++type;
    while (s.is(type + 1, ".") && s.is_identifier(type + 2)) type += 2;
    std::string_view name = s.word(type);
    if (name == "var") {  // the type it is given
      size_t made = type;
      while (made < last && !s.is(made, "new")) ++made;
      if (made == last) return true;
      ++made;
      while (s.is(made + 1, ".") && s.is_identifier(made + 2)) made += 2;
      name = s.word(made);
    }
    // A variable of Java 9's form (no declaration) is not known.
    if (!s.is_identifier(type + 1) || !quiet_closers().contains(name)) return true;
  }
  return false;
}

// Phase 2. The scopes that throw or catch: method bodies (node m) and try
// blocks, resources included (node methods + t), nested; by where they
// open, outer ones first.
struct Scope {
  uint32_t open, close, node;
};

std::vector<Scope> scopes(const Structure& structure) {
  const size_t method_count = structure.methods.size();
  std::vector<Scope> bodies, blocks;
  bodies.reserve(method_count);
  blocks.reserve(structure.tries.size());
  for (size_t m = 0; m < method_count; ++m)
    bodies.push_back({structure.methods[m].body_open, structure.methods[m].body_close,
                      static_cast<uint32_t>(m)});
  for (size_t t = 0; t < structure.tries.size(); ++t) {
    const TryStatement& statement = structure.tries[t];
    const uint32_t open =
        statement.resources_open != kNone ? statement.resources_open : statement.body_open;
    blocks.push_back({open, statement.body_close, static_cast<uint32_t>(method_count + t)});
  }
  auto outer_first = [](const Scope& a, const Scope& b) {
    return a.open != b.open ? a.open < b.open : a.close > b.close;
  };
  // Each list comes nearly in order already.
  if (!std::is_sorted(bodies.begin(), bodies.end(), outer_first))
    std::sort(bodies.begin(), bodies.end(), outer_first);
  if (!std::is_sorted(blocks.begin(), blocks.end(), outer_first))
    std::sort(blocks.begin(), blocks.end(), outer_first);
  std::vector<Scope> scopes(bodies.size() + blocks.size());
  std::merge(bodies.begin(), bodies.end(), blocks.begin(), blocks.end(), scopes.begin(),
             outer_first);
  return scopes;
}

// Phase 3. What throws in each scope by itself (`direct`), which of this
// file's methods it calls, and which scope holds it.
struct Sources {
  std::vector<bool> direct;
  std::vector<uint32_t> parent;
  std::vector<std::pair<uint32_t, uint32_t>> calls;  // (method name, calling node)
};

Sources direct_sources(const Program& program, const IoOptions& options, const Clauses& clauses,
                       const std::vector<Scope>& scopes) {
  const Source& s = program.source;
  const Structure& structure = program.structure;
  const size_t method_count = structure.methods.size();
  const size_t nodes = method_count + structure.tries.size();
  auto converted = [&](std::string_view name) {
    return std::find(options.converted_readers.begin(), options.converted_readers.end(), name) !=
           options.converted_readers.end();
  };
  // A try whose one resource is a console reader loses it; the readers
  // left as they are may throw wherever they are used.
  std::unordered_set<uint32_t> removed_resources;
  std::vector<std::pair<uint32_t, uint32_t>> removed_ranges;  // resources among others
  std::unordered_set<std::string_view> kept_readers;
  std::unordered_set<uint32_t> console_reads;  // the reader's names, before .readLine()
  for (const ReaderVariable& reader : structure.readers) {
    if (!converted(reader.name)) {
      kept_readers.insert(reader.name);
      continue;
    }
    for (const ReaderUse& use : reader.uses)
      if (use.kind == ReaderUse::Kind::read_line) console_reads.insert(use.token);
    if (!options.readers_removed) continue;
    for (const ReaderUse& use : reader.uses)
      if (use.resource_open != kNone && use.reads_console && use.sole_resource)
        removed_resources.insert(static_cast<uint32_t>(use.resource_open));
      else if (use.resource_open != kNone && use.reads_console && use.last != kNone)
        removed_ranges.push_back({use.first, use.last});
  }

  Sources sources{std::vector<bool>(nodes), std::vector<uint32_t>(nodes, kNone), {}};
  auto call = [&](std::string_view name, uint32_t node) {
    const uint32_t id = clauses.name_id.find(name);
    if (id != kNone) sources.calls.push_back({id, node});
  };
  std::vector<const Scope*> stack;
  size_t next_scope = 0;
  for (size_t c = 0; c < s.size(); ++c) {
    while (!stack.empty() && stack.back()->close < c) stack.pop_back();
    while (next_scope < scopes.size() && scopes[next_scope].open == c) {
      if (!stack.empty()) sources.parent[scopes[next_scope].node] = stack.back()->node;
      stack.push_back(&scopes[next_scope++]);
    }
    if (stack.empty()) continue;
    const uint32_t node = stack.back()->node;
    if (c == stack.back()->open && node >= method_count &&
        structure.tries[node - method_count].resources_open == c) {
      if (!removed_resources.count(c) && closing_throws(s, c, removed_ranges))
        sources.direct[node] = true;  // closing a resource may throw
      continue;
    }
    if (s.kind(c) != TokenKind::identifier) continue;
    if (s.is(c, "throw")) {
      const std::string_view type = s.is(c + 1, "new") ? type_at(s, c + 2) : std::string_view();
      if (type.empty() || !unchecked_exceptions().contains(type)) sources.direct[node] = true;
      continue;
    }
    if (!kept_readers.empty() && kept_readers.count(s.word(c)) &&
        !(c >= 2 && s.is(c - 1, ".") && s.is(c - 2, "System"))) {
      sources.direct[node] = true;
      continue;
    }
    if (!s.is(c + 1, "(") || clauses.declaration_name[c]) continue;
    const std::string_view w = s.word(c);
    if (is_statement_keyword(w)) continue;
    const size_t start = chain_start(s, c);
    if (start > 0 && s.is(start - 1, "new")) {
      call(w, node);
      if (!io_constructors().contains(w)) continue;
      // Reading the keyboard or writing the screen opens nothing.
      const bool standard = s.is(c + 2, "System") && s.is(c + 3, ".") &&
                            (s.is(c + 4, "in") || s.is(c + 4, "out") || s.is(c + 4, "err"));
      if (!standard) sources.direct[node] = true;
      continue;
    }
    if (start == c) {  // unqualified: one of this file's methods, or inherited
      call(w, node);
      continue;
    }
    const std::string_view receiver = s.word(start);
    if (receiver == "Files") {
      sources.direct[node] = true;
      continue;
    }
    if (!io_methods().contains(w)) continue;
    const bool screen = c == start + 4 && (receiver == "System" || receiver == "Console") &&
                        (s.is(start + 2, "out") || s.is(start + 2, "err"));
    const bool console_read =
        c == start + 2 && w == "readLine" &&
        (options.reads_by_name ? converted(receiver) : console_reads.count(start) > 0);
    if (!screen && !console_read) sources.direct[node] = true;
  }
  return sources;
}

// Phase 4. What can throw, spread from the direct sources: a method to its
// callers, while it keeps a clause saying so; a try block to the scope
// around it, unless one of its catches takes every IOException.
std::vector<bool> propagate(const Structure& structure, const Clauses& clauses, Sources& sources) {
  const size_t method_count = structure.methods.size();
  const size_t nodes = sources.direct.size();
  auto passes_on = [&](size_t node) {
    if (node < method_count) return clauses.passes_io[node] || clauses.for_good[node];
    for (const Handler& handler : structure.handlers(structure.tries[node - method_count]))
      for (const TypeName& type : structure.types(handler))
        if (catches_all_io(type)) return false;
    return true;
  };
  // The callers of each name, together.
  std::sort(sources.calls.begin(), sources.calls.end());
  auto callers_of = [&](uint32_t name) {
    return std::equal_range(sources.calls.begin(), sources.calls.end(), std::make_pair(name, 0u),
                            [](const auto& a, const auto& b) { return a.first < b.first; });
  };

  std::vector<bool> value(nodes);
  std::deque<size_t> queue;
  auto mark = [&](size_t n) {
    if (!value[n]) {
      value[n] = true;
      queue.push_back(n);
    }
  };
  for (size_t n = 0; n < nodes; ++n)
    if (sources.direct[n]) mark(n);
  for (const auto& [name, caller] : sources.calls)
    if (clauses.name_for_good[name]) mark(caller);
  // Overloads share their callers: each name spreads once.
  std::vector<bool> spread(clauses.name_id.size());
  while (!queue.empty()) {
    const size_t n = queue.front();
    queue.pop_front();
    if (!passes_on(n)) continue;
    if (n >= method_count) {
      if (sources.parent[n] != kNone) mark(sources.parent[n]);
      continue;
    }
    const uint32_t name = clauses.method_name[n];
    if (!clauses.passes_io[n] || spread[name]) continue;
    spread[name] = true;
    const auto [first, last] = callers_of(name);
    for (auto it = first; it != last; ++it) mark(it->second);
  }
  return value;
}

}  // namespace

IoAnalysis analyse_io(const Program& program, const IoOptions& options) {
  const Clauses clauses = throws_clauses(program, options);
  Sources sources = direct_sources(program, options, clauses, scopes(program.structure));
  const std::vector<bool> value = propagate(program.structure, clauses, sources);
  const size_t method_count = program.structure.methods.size();
  IoAnalysis analysis;
  analysis.method_body_throws.assign(value.begin(), value.begin() + method_count);
  analysis.try_body_throws.assign(value.begin() + method_count, value.end());
  return analysis;
}

}  // namespace java
