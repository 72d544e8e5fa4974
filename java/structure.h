// What the conversions know of a Java source beyond its tokens: the
// methods with their throws clauses, the try statements with their
// handlers, the main method, and the keyboard readers (`flux`, and any
// BufferedReader or Scanner of System.in) with every use of them.
//
// Positions are code token indices (see source.h). Everything is found in
// a few linear passes; a source that is not Java, or not balanced, gives
// fewer findings, never an error.
#ifndef JAVA_STRUCTURE_H
#define JAVA_STRUCTURE_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "java/source.h"

namespace java {

// A view of consecutive elements of a vector that no longer grows.
template <typename T>
class Span {
 public:
  Span() = default;
  Span(const T* begin, const T* end) : begin_(begin), end_(end) {}
  const T* begin() const { return begin_; }
  const T* end() const { return end_; }
  size_t size() const { return static_cast<size_t>(end_ - begin_); }
  bool empty() const { return begin_ == end_; }
  const T& operator[](size_t i) const { return begin_[i]; }
  const T& front() const { return *begin_; }
  const T& back() const { return end_[-1]; }

 private:
  const T* begin_ = nullptr;
  const T* end_ = nullptr;
};

// A possibly qualified type name: code tokens first..last, `name` the last
// identifier.
struct TypeName {
  uint32_t first;
  uint32_t last;
  std::string_view name;
};

// Where a list of type names lies in the structure's storage.
struct TypeRange {
  uint32_t begin = 0;
  uint32_t end = 0;
};

struct Method {
  uint32_t name;                    // the method's (or constructor's) name
  uint32_t params_open;             // its '('
  uint32_t throws_keyword = kNone;  // 'throws', when there is a clause
  TypeRange throws;
  uint32_t body_open;   // '{'
  uint32_t body_close;  // '}'
};

struct Handler {
  uint32_t keyword;  // 'catch' or 'finally'
  TypeRange types;   // what a catch catches
  uint32_t block_open;
  uint32_t block_close;
};

struct TryStatement {
  uint32_t keyword;
  uint32_t resources_open = kNone;  // '(' of try-with-resources
  uint32_t body_open;
  uint32_t body_close;
  uint32_t handlers_begin = 0;  // into the structure's handlers
  uint32_t handlers_end = 0;
};

struct ReaderUse {
  enum class Kind : uint8_t {
    declaration,  // [modifiers] BufferedReader NAME [= reader];
    assignment,   // NAME = reader;
    read_line,    // NAME.readLine()
    other,        // anything else: passed on, read(), close(), qualified...
  };
  Kind kind;
  uint32_t token;                  // the name
  uint32_t first = kNone;          // the statement, for declarations and assignments;
  uint32_t last = kNone;           // ';' or the resource's ')', kNone when it is no
                                   // statement of its own ("BufferedReader flux, other;")
  uint32_t resource_open = kNone;  // a try resource: the try's '('
  bool reads_console = false;      // initialised from System.in the usual way
  bool initialised = false;
  bool local = false;          // declared inside a method
  bool sole_resource = false;  // the try's only resource; else first..last is the
                               // resource with the ';' that parts it from the others
};

// A BufferedReader variable that reads the keyboard: `flux`, whatever it
// is, and any name given new BufferedReader(new InputStreamReader(System.in)).
struct ReaderVariable {
  std::string_view name;
  std::vector<ReaderUse> uses;  // in text order
};

// A class, interface, enum or record, top-level, nested or local.
struct TypeDeclaration {
  uint32_t keyword;  // class, interface, enum or record
  uint32_t name;
  uint32_t body_open;
  uint32_t body_close;
  uint32_t enclosing = kNone;  // the declaration it is declared in, kNone at the top
};

struct Structure {
  std::vector<Method> methods;  // in text order
  std::vector<TypeDeclaration> type_declarations;  // in text order
  std::optional<size_t> main_type;                 // the declaration holding main
  // The package declaration, `package` to its ';', when there is one.
  uint32_t package_keyword = kNone;
  uint32_t package_end = kNone;
  std::vector<TryStatement> tries;
  std::optional<size_t> main;  // index into methods
  std::vector<ReaderVariable> readers;
  // `new Scanner(System.in)`: the code token `System` of each.
  std::vector<uint32_t> scanners;
  // Every other use of System.in: its `System` token.
  std::vector<uint32_t> standard_input;

  Span<TypeName> throws(const Method& method) const { return types(method.throws); }
  Span<TypeName> types(const Handler& handler) const { return types(handler.types); }
  Span<Handler> handlers(const TryStatement& statement) const {
    return {handler_storage.data() + statement.handlers_begin,
            handler_storage.data() + statement.handlers_end};
  }

  // Where the lists above are kept, flat, so that a big source costs few
  // allocations.
  std::vector<TypeName> type_storage;
  std::vector<Handler> handler_storage;

 private:
  Span<TypeName> types(TypeRange range) const {
    return {type_storage.data() + range.begin, type_storage.data() + range.end};
  }
};

Structure analyse_structure(const Source& source);

// A source with what is known of it, analysed once for all who need it.
struct Program {
  // The text must outlive the program: a temporary would not.
  explicit Program(std::string_view text) : source(text), structure(analyse_structure(source)) {}
  explicit Program(const char* text) : Program(std::string_view(text)) {}
  explicit Program(std::string&&) = delete;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Source source;
  Structure structure;
};

// The reader `name`, or nullptr when the file has none by that name.
const ReaderVariable* find_reader(const Structure& structure, std::string_view name);

// Whether a reader can be taken away: declared in this file as a reader of
// System.in, and otherwise only read with readLine().
bool is_convertible(const ReaderVariable& reader);

// Whether code token c lies in a static field's initialiser or a static
// block of the type `type`, outside any method: code that runs when the
// class is set up, before any of its methods.
bool in_static_initialiser(const Source& source, const Structure& structure, size_t type, size_t c);

// When the file's top-level types do not include `name` (the converters
// take the class name from the file's), the one to name instead: the one
// holding main, else the first. nullptr when `name` is among them, or there
// is no type at all.
const TypeDeclaration* other_than_file_class(const Source& source, const Structure& structure,
                                             std::string_view name);

// The package declaration's name, as written ("" when there is none).
std::string package_name(const Source& source, const Structure& structure);

// The main method's parameter list is one String array (String[] x,
// String x[], String... x).
bool is_main_signature(const Source& source, const Method& method);

// Whether code token c starts a call of System.console() (not qualified).
bool is_system_console(const Source& s, size_t c);

// Whether a word is a modifier of a declaration (public, static, final, ...).
bool is_modifier(std::string_view word);

// Keywords followed by '(' without being a call or a declaration.
bool is_statement_keyword(std::string_view word);

// Whether code token c starts a statement or a member: after ';', '{' or '}'.
bool starts_statement(const Source& s, size_t c);

// Type names: IOException itself, and what a throws clause or a catch may
// name that covers it.
bool is_io_exception(const TypeName& type);
bool catches_all_io(const TypeName& type);  // IOException, Exception, Throwable

// Whether a name is a public type of java.io.
bool is_java_io_type(std::string_view name);

}  // namespace java

#endif  // JAVA_STRUCTURE_H
