// What the lenient conversion and the layout notes know of a Java source:
// its code tokens with their brackets matched, the methods with their
// throws clauses, the try statements with their handlers, the main method,
// the keyboard readers (`flux`, and any BufferedReader or Scanner over
// System.in) with every use of them, and which methods and try blocks can
// still throw an IOException once the reads go to the console library.
//
// Positions are indices among the code tokens (comments and whitespace
// left out). Everything is found in one or a few linear passes; a source
// that is not Java, or not balanced, gives fewer findings, never an error.
#ifndef CONVERT_JAVA_STRUCTURE_H
#define CONVERT_JAVA_STRUCTURE_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "convert/java_lexer.h"

namespace convert {

inline constexpr size_t kNone = static_cast<size_t>(-1);

class JavaSource {
 public:
  explicit JavaSource(std::string_view text);

  // Over kMaxLexedSize: not looked at, as if empty.
  bool too_large() const { return text_.size() > kMaxLexedSize; }

  std::string_view text() const { return text_; }
  const std::vector<Token>& tokens() const { return tokens_; }

  // Code tokens.
  size_t size() const { return code_.size(); }
  const Token& token(size_t c) const { return tokens_[code_[c]]; }
  size_t token_index(size_t c) const { return code_[c]; }
  // The token's text, the name it stands for when spelled with Unicode
  // escapes; "" past either end.
  std::string_view word(size_t c) const;
  bool is(size_t c, std::string_view word) const { return c < size() && this->word(c) == word; }
  bool is_identifier(size_t c) const {
    return c < size() && token(c).kind == TokenKind::identifier;
  }
  // The matching bracket of ( ) [ ] { }, or kNone.
  size_t match(size_t c) const { return match_[c] == kUnmatched ? kNone : match_[c]; }
  bool balanced() const { return balanced_; }

  // 1-based line of a byte offset; any of CR LF, LF and CR ends a line.
  size_t line_of(size_t offset) const;
  // Byte offset where a 1-based line starts (the text's size past the end).
  size_t line_start(size_t line) const;

 private:
  static constexpr uint32_t kUnmatched = UINT32_MAX;

  std::string_view text_;
  std::vector<Token> tokens_;
  std::vector<uint32_t> code_;
  std::vector<uint32_t> match_;
  std::vector<size_t> line_starts_;
  // What identifiers spelled with Unicode escapes stand for, by code token.
  std::unordered_map<size_t, std::string> decoded_;
  bool balanced_ = true;
};

// A possibly qualified type name: code tokens first..last, `name` the last
// identifier.
struct TypeName {
  size_t first;
  size_t last;
  std::string_view name;
};

struct Method {
  size_t name;                    // the method's (or constructor's) name
  size_t params_open;             // its '('
  size_t throws_keyword = kNone;  // 'throws', when there is a clause
  std::vector<TypeName> throws;
  size_t body_open;   // '{'
  size_t body_close;  // '}'
};

struct Handler {
  size_t keyword;               // 'catch' or 'finally'
  std::vector<TypeName> types;  // what a catch catches
  size_t block_open;
  size_t block_close;
};

struct TryStatement {
  size_t keyword;
  size_t resources_open = kNone;  // '(' of try-with-resources
  size_t body_open;
  size_t body_close;
  std::vector<Handler> handlers;
};

struct ReaderUse {
  enum class Kind {
    declaration,  // [modifiers] BufferedReader NAME [= reader];
    assignment,   // NAME = reader;
    read_line,    // NAME.readLine()
    other,        // anything else: passed on, read(), close(), qualified...
  };
  Kind kind;
  size_t token;                // the name
  size_t first = kNone;        // the whole statement, for declarations and
  size_t last = kNone;         // assignments ('; ' or the resource's end)
  bool reads_console = false;  // initialised from System.in the usual way
  bool initialised = false;
  bool local = false;            // declared inside a method
  size_t resource_open = kNone;  // a try resource: the try's '('
};

// A BufferedReader variable that reads the keyboard: `flux`, whatever it
// is, and any name given new BufferedReader(new InputStreamReader(System.in)).
struct ReaderVariable {
  std::string_view name;
  std::vector<ReaderUse> uses;  // in text order
};

struct JavaStructure {
  std::vector<Method> methods;
  std::vector<TryStatement> tries;
  std::optional<size_t> main;  // index into methods
  std::vector<ReaderVariable> readers;
  // `new Scanner(System.in)`: the code token `System` of each.
  std::vector<size_t> scanners;
  // Every other use of System.in: its `System` token.
  std::vector<size_t> standard_input;
};

JavaStructure analyse_structure(const JavaSource& source);

// A source with what is known of it, analysed once for all who need it.
struct JavaProgram {
  // The text must outlive the program: a temporary would not.
  explicit JavaProgram(std::string_view text)
      : source(text), structure(analyse_structure(source)) {}
  explicit JavaProgram(const char* text) : JavaProgram(std::string_view(text)) {}
  explicit JavaProgram(std::string&&) = delete;
  JavaProgram(const JavaProgram&) = delete;
  JavaProgram& operator=(const JavaProgram&) = delete;

  JavaSource source;
  JavaStructure structure;
};

// The reader `name`, or nullptr when the file has none by that name.
const ReaderVariable* find_reader(const JavaStructure& structure, std::string_view name);

// Whether a reader can be taken away: declared in this file as a reader of
// System.in, and otherwise only read with readLine().
bool is_convertible(const ReaderVariable& reader);

// The main method's parameter list is one String array (String[] x,
// String x[], String... x).
bool is_main_signature(const JavaSource& source, const Method& method);

struct IoOptions {
  // The readers whose reads go to the console library, which throws no
  // IOException.
  std::vector<std::string_view> converted_readers;
  // Those readers themselves are gone, a try resource included (whose
  // closing could throw).
  bool readers_removed = true;
  // Every "throws IOException" is gone (the default conversion).
  bool io_throws_removed = false;
};

struct IoAnalysis {
  // Per method: its body can still throw an IOException.
  std::vector<bool> method_body_throws;
  // Per try statement: its block (and resources) can still throw one.
  std::vector<bool> try_body_throws;
};

IoAnalysis analyse_io(const JavaSource& source, const JavaStructure& structure,
                      const IoOptions& options);

// Type names: IOException itself, and what a throws clause or a catch may
// name that covers it.
bool is_io_exception(const TypeName& type);
bool catches_all_io(const TypeName& type);  // IOException, Exception, Throwable

// Whether a name is a public type of java.io.
bool is_java_io_type(std::string_view name);

}  // namespace convert

#endif  // CONVERT_JAVA_STRUCTURE_H
