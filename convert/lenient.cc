#include "convert/lenient.h"

#include <algorithm>
#include <ostream>
#include <unordered_set>

#include "convert/java_structure.h"
#include "convert/trace.h"

namespace convert {
namespace {

// The replacement is one of a few texts that outlive the edits: literals,
// the destination class and the title call.
struct Edit {
  size_t begin;
  size_t end;
  std::string_view replacement;
};

enum class Completion { yes, no, unknown };

bool is_line_end(char c) { return c == '\n' || c == '\r'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

class Lenient {
 public:
  Lenient(const JavaProgram& program, std::string_view source_class,
          std::string_view destination_class)
      : text_(program.source.text()),
        source_(program.source),
        structure_(program.structure),
        source_class_(source_class),
        destination_class_(destination_class) {}

  LenientResult run(std::ostream& trace) {
    if (source_.too_large())
      return {std::string(text_),
              {{1,
                "the file is too large to convert token by token; it is "
                "left as it is"}}};
    edits_.reserve(source_.size() / 4 + 16);
    IoOptions io;
    for (const ReaderVariable& reader : structure_.readers)
      if (is_convertible(reader)) io.converted_readers.push_back(reader.name);
    io_ = analyse_io(source_, structure_, io);
    trailing_blanks();
    for (const ReaderVariable& reader : structure_.readers) convert_reader(reader);
    scanners();
    redirections();
    title();
    throws_clauses();
    catches();
    imports();
    doubts();
    return {apply(trace), std::move(notes_)};
  }

 private:
  // Byte offsets of code token c.
  size_t begin(size_t c) const { return source_.token(c).begin; }
  size_t end(size_t c) const { return source_.token(c).end; }

  void note(size_t offset, std::string text) {
    notes_.push_back({source_.line_of(offset), std::move(text)});
  }

  size_t line_start(size_t offset) const { return source_.line_start(source_.line_of(offset)); }
  size_t line_end(size_t offset) const {
    while (offset < text_.size() && !is_line_end(text_[offset])) ++offset;
    return offset;
  }
  size_t terminator_length(size_t at) const {
    if (at >= text_.size()) return 0;
    return text_.compare(at, 2, "\r\n") == 0 ? 2 : 1;
  }
  bool blank(size_t from, size_t to) const {
    return std::all_of(text_.begin() + from, text_.begin() + to, is_blank);
  }

  // Code tokens first..last, widened to their whole line, line end
  // included, when nothing else stands on it. Decided from the tokens
  // around them, so a long line costs nothing more.
  Edit removal(size_t first, size_t last) const {
    const auto& tokens = source_.tokens();
    const size_t before = source_.token_index(first), after = source_.token_index(last) + 1;
    const size_t from = begin(first), to = end(last);
    size_t start = from, stop = to;
    if (before > 0) {
      const Token& t = tokens[before - 1];
      if (t.kind != TokenKind::whitespace) return {from, to, ""};
      start = t.end;
      while (start > t.begin && is_blank(text_[start - 1])) --start;
      if (start != 0 && !is_line_end(text_[start - 1])) return {from, to, ""};
    } else if (from != 0) {
      return {from, to, ""};
    }
    if (after < tokens.size()) {
      const Token& t = tokens[after];
      if (t.kind != TokenKind::whitespace) return {from, to, ""};
      while (stop < t.end && is_blank(text_[stop])) ++stop;
      if (stop == t.end) return stop == text_.size() ? Edit{start, stop, ""} : Edit{from, to, ""};
      stop += terminator_length(stop);
    }
    return {start, stop, ""};
  }

  void trailing_blanks() {
    for (const Token& t : source_.tokens()) {
      if (t.kind != TokenKind::whitespace) continue;
      for (size_t i = t.begin; i < t.end; ++i) {
        if (!is_line_end(text_[i])) continue;
        size_t first = i;
        while (first > t.begin && is_blank(text_[first - 1])) --first;
        if (first < i) edits_.push_back({first, i, ""});
        if (text_.compare(i, 2, "\r\n") == 0) ++i;
      }
    }
  }

  // A reader goes, and its reads go to the console; unless it is used in a
  // way the console cannot take over, in which case all of it stays.
  void convert_reader(const ReaderVariable& reader) {
    if (!is_convertible(reader)) {
      explain_reader_kept(reader);
      return;
    }
    for (const ReaderUse& use : reader.uses) {
      switch (use.kind) {
        case ReaderUse::Kind::read_line:
          edits_.push_back({begin(use.token), end(use.token), "Console.in"});
          break;
        case ReaderUse::Kind::declaration:
        case ReaderUse::Kind::assignment:
          if (use.resource_open != kNone)
            remove_resource(use);
          else
            edits_.push_back(removal(use.first, use.last));
          break;
        case ReaderUse::Kind::other:
          break;
      }
    }
  }

  void explain_reader_kept(const ReaderVariable& reader) {
    const std::string name(reader.name);
    bool declared = false;
    for (const ReaderUse& use : reader.uses) {
      if (use.kind == ReaderUse::Kind::declaration) {
        declared = true;
        if (use.initialised && !use.reads_console)
          note(begin(use.token),
               name +
                   " is not a reader of System.in made the usual way (new BufferedReader(new "
                   "InputStreamReader(System.in))); it and its uses are left as they are");
      } else if (use.kind == ReaderUse::Kind::other) {
        note(begin(use.token), name + " is used here other than by " + name +
                                   ".readLine(); the reader and all its uses are left as they "
                                   "are, reading System.in");
      }
    }
    if (!declared)
      note(begin(reader.uses.front().token),
           name +
               " is not declared in this file as a reader of System.in; its uses are left as "
               "they are");
  }

  // A Scanner of System.in scans the console instead: its reader is a
  // Reader too. Any other use of System.in stays, and is named.
  void scanners() {
    for (size_t system : structure_.scanners)
      edits_.push_back({begin(system), end(system + 2), "Console.in"});
    for (size_t system : structure_.standard_input)
      note(begin(system),
           "System.in is read here other than through a BufferedReader or a Scanner the "
           "console can take over; it stays on standard input, which a console window does not "
           "feed");
  }

  void remove_resource(const ReaderUse& use) {
    // Tries come in text order: find the one by its '(' in log time.
    const auto& tries = structure_.tries;
    auto it =
        std::lower_bound(tries.begin(), tries.end(), use.resource_open,
                         [](const TryStatement& t, size_t open) { return t.keyword + 1 < open; });
    if (it == tries.end() || it->resources_open != use.resource_open) return;
    const TryStatement* statement = &*it;
    if (statement->handlers.empty())
      edits_.push_back({begin(statement->keyword), begin(statement->body_open), ""});  // a block
    else
      edits_.push_back({end(statement->keyword), end(source_.match(use.resource_open)), ""});
  }

  void redirections() {
    for (size_t c = 0; c < source_.size(); ++c) {
      const std::string_view w = source_.word(c);
      if (!source_.is_identifier(c)) continue;
      // A class of the program's own named like this one is the program.
      if (w == source_class_) {
        if (destination_class_ != source_class_)
          edits_.push_back({begin(c), end(c), destination_class_});
        continue;
      }
      if (w == "System" && source_.is(c + 1, ".") && source_.is(c + 2, "out") &&
          !(c > 0 && source_.is(c - 1, ".")))
        edits_.push_back({begin(c), end(c), "Console"});
    }
  }

  void title() {
    if (!structure_.main) {
      note(0, "no main method (static void main(String[] ...)) found; no title is set");
      return;
    }
    const Method& main = structure_.methods[*structure_.main];
    const size_t brace_end = end(main.body_open);
    const size_t eol_at = line_end(brace_end);
    std::string eol(text_.substr(eol_at, terminator_length(eol_at)));
    if (eol.empty()) eol = first_line_end();

    // Indented like the body's first line, else one step in from the header.
    std::string indent;
    const size_t first = main.body_open + 1;
    if (first < main.body_close && begin(first) >= eol_at) {
      size_t start = line_start(begin(first));
      indent = std::string(text_.substr(start, begin(first) - start));
      if (!blank(start, begin(first))) indent.clear();
    } else {
      size_t start = line_start(begin(main.name));
      size_t text_at = start;
      while (text_at < text_.size() && is_blank(text_[text_at])) ++text_at;
      indent = std::string(text_.substr(start, text_at - start));
      indent += indent.find('\t') != std::string::npos ? "\t" : "    ";
    }
    title_ = eol + indent + "Console.setTitle(\"";
    for (char ch : source_class_) {
      if (ch == '"' || ch == '\\') title_ += '\\';
      title_ += ch;
    }
    title_ += "\");";
    // After a comment that ends the header's line rather than before it.
    const bool code_follows = begin(first) < eol_at;  // the closing brace counts
    size_t at = code_follows ? brace_end : eol_at;
    edits_.push_back({at, at, title_});
  }

  std::string first_line_end() const {
    size_t at = line_end(0);
    std::string eol(text_.substr(at, terminator_length(at)));
    return eol.empty() ? "\n" : eol;
  }

  // A throws clause loses IOException where nothing in the method can
  // throw one any more; any other type it names stays.
  void throws_clauses() {
    for (size_t m = 0; m < structure_.methods.size(); ++m) {
      const Method& method = structure_.methods[m];
      if (io_.method_body_throws[m] || method.throws.empty()) continue;
      remove_io_types(method.throws, method.throws_keyword - 1);
    }
  }

  // Removes the IOException entries from a list of types separated by ','
  // or '|'; `before` is the code token before the list, which goes with it
  // when nothing is left.
  void remove_io_types(const std::vector<TypeName>& types, size_t before) {
    const size_t kept = static_cast<size_t>(std::count_if(
        types.begin(), types.end(), [](const TypeName& t) { return !is_io_exception(t); }));
    if (kept == types.size()) return;
    if (kept == 0) {
      edits_.push_back({end(before), end(types.back().last), ""});
      return;
    }
    for (size_t i = 0; i < types.size(); ++i) {
      if (!is_io_exception(types[i])) continue;
      if (i == 0)
        edits_.push_back({begin(types[i].first), begin(types[i + 1].first), ""});
      else
        edits_.push_back({end(types[i - 1].last), end(types[i].last), ""});
    }
  }

  // A catch of IOException around code that no longer throws one is an
  // error for javac: it goes. Where its going could make code after the try
  // unreachable, it catches the unchecked form instead, which the console
  // library's reads throw on a failing input.
  void catches() {
    for (size_t t = 0; t < structure_.tries.size(); ++t) {
      if (io_.try_body_throws[t]) continue;
      const TryStatement& statement = structure_.tries[t];
      for (size_t h = 0; h < statement.handlers.size(); ++h) {
        const Handler& handler = statement.handlers[h];
        if (std::none_of(handler.types.begin(), handler.types.end(), is_io_exception)) continue;
        if (handler.types.size() > 1) {
          remove_io_types(handler.types, handler.keyword + 1);
          continue;
        }
        const bool safe =
            completion(statement.body_open, statement.body_close) == Completion::yes ||
            completion(handler.block_open, handler.block_close) == Completion::no;
        const TypeName& type = handler.types.front();
        if (!safe) {
          edits_.push_back({begin(type.first), end(type.last), "java.io.UncheckedIOException"});
          continue;
        }
        const size_t previous =
            h == 0 ? statement.body_close : statement.handlers[h - 1].block_close;
        edits_.push_back({end(previous), end(handler.block_close), ""});
        if (statement.handlers.size() == 1)
          edits_.push_back({begin(statement.keyword), begin(statement.body_open), ""});
      }
    }
  }

  // Whether the block between the brackets can complete normally, judged
  // by its last statement.
  Completion completion(size_t open, size_t close) const {
    if (close == open + 1) return Completion::yes;
    if (!source_.is(close - 1, ";")) return Completion::unknown;  // a compound statement
    // Back from its ';' to where the last statement starts, stepping over
    // brackets; a '}' followed by more of the statement belongs to it (a
    // lambda, an array, an anonymous class), any other ends the one before.
    size_t start = close - 1;
    while (start > open + 1) {
      const size_t previous = start - 1;
      const std::string_view w = source_.word(previous);
      if (w == ";" || w == "{") break;
      if (w == "}") {
        const std::string_view next = source_.word(start);
        if (next != ")" && next != "," && next != ";" && next != "." && next != "]") break;
      }
      if (w == ")" || w == "]" || w == "}") {
        const size_t m = source_.match(previous);
        if (m == kNone || m <= open) return Completion::unknown;
        start = m;
        continue;
      }
      start = previous;
    }
    const std::string_view first = source_.word(start);
    if (first == "return" || first == "throw" || first == "break" || first == "continue")
      return Completion::no;
    if (first == "if" || first == "while" || first == "for" || first == "do" || first == "switch" ||
        first == "try" || first == "synchronized" || first == "else" || first == "yield" ||
        source_.is(start + 1, ":"))
      return Completion::unknown;
    return Completion::yes;
  }

  // Whether the line before the one starting at `line_begin` is empty (or
  // there is none).
  bool after_empty_line(size_t line_begin) const {
    if (line_begin == 0) return true;
    size_t terminator = line_begin - 1;
    if (text_[terminator] == '\n' && terminator > 0 && text_[terminator - 1] == '\r') --terminator;
    return blank(line_start(terminator), terminator);
  }

  // A java.io import goes when what it brought in was used and no longer
  // is; an import that was never used is the program's own business.
  void imports() {
    std::vector<Edit> settled = settle(edits_);
    std::unordered_set<std::string_view> before, after;
    std::vector<size_t> statements;
    size_t next_edit = 0;
    for (size_t c = 0; c < source_.size(); ++c) {
      if (source_.is(c, "import") && (c == 0 || source_.is(c - 1, ";"))) {
        statements.push_back(c);
        while (c < source_.size() && !source_.is(c, ";")) ++c;
        continue;
      }
      if (!source_.is_identifier(c)) continue;
      before.insert(source_.word(c));
      while (next_edit < settled.size() && settled[next_edit].end <= begin(c)) ++next_edit;
      bool edited = next_edit < settled.size() && settled[next_edit].begin <= begin(c) &&
                    end(c) <= settled[next_edit].end &&
                    settled[next_edit].end > settled[next_edit].begin;
      if (!edited) after.insert(source_.word(c));
    }
    auto any_io = [](const std::unordered_set<std::string_view>& names) {
      return std::any_of(names.begin(), names.end(), is_java_io_type);
    };
    std::vector<Edit> removed;
    for (size_t c : statements) {
      if (!(source_.is(c + 1, "java") && source_.is(c + 2, ".") && source_.is(c + 3, "io") &&
            source_.is(c + 4, ".") && source_.is(c + 6, ";")))
        continue;
      std::string_view what = source_.word(c + 5);
      bool unneeded =
          what == "*" ? any_io(before) && !any_io(after) : before.count(what) && !after.count(what);
      if (unneeded) removed.push_back(removal(c, c + 6));
    }
    // Neighbouring lines go as one change, with the empty line after them
    // when they opened the file or a paragraph.
    for (size_t i = 0; i < removed.size(); ++i) {
      Edit edit = removed[i];
      while (i + 1 < removed.size() && removed[i + 1].begin == edit.end)
        edit.end = removed[++i].end;
      const size_t next_end = line_end(edit.end);
      const bool whole_lines =
          edit.begin == line_start(edit.begin) && edit.end == line_start(edit.end);
      if (whole_lines && after_empty_line(edit.begin) && blank(edit.end, next_end) &&
          next_end < text_.size())
        edit.end = next_end + terminator_length(next_end);
      edits_.push_back(edit);
    }
  }

  void doubts() {
    if (!source_.balanced())
      note(0, "the brackets and braces do not balance; what could not be matched is left as it is");
    for (const Token& t : source_.tokens()) {
      if (!t.unterminated) continue;
      note(t.begin, t.kind == TokenKind::block_comment
                        ? "this comment is not closed; the rest of the file is left as it is"
                    : t.kind == TokenKind::text_block
                        ? "this text block is not closed; the rest of the file is left as it is"
                        : "this literal is not closed; the rest of its line is left as it is");
      break;
    }
    if (std::none_of(source_.tokens().begin(), source_.tokens().end(), [this](const Token& t) {
          std::string_view w = text_.substr(t.begin, t.end - t.begin);
          return t.kind == TokenKind::identifier &&
                 (w == "class" || w == "interface" || w == "enum" || w == "record");
        }))
      note(0, "no class declaration found; this does not look like a Java source");
  }

  // The edits in text order, an edit dropped where an earlier one already
  // changed its bytes.
  static std::vector<Edit> settle(std::vector<Edit> edits) {
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) {
      return a.begin != b.begin ? a.begin < b.begin : a.end > b.end;
    });
    size_t kept = 0, covered = 0;
    for (const Edit& edit : edits) {
      if (edit.begin < covered) continue;
      if (edit.begin == edit.end && edit.replacement.empty()) continue;
      covered = edit.end;
      edits[kept++] = edit;
    }
    edits.resize(kept);
    return edits;
  }

  std::string apply(std::ostream& trace) {
    std::string out;
    out.reserve(text_.size() + text_.size() / 8 + 64);
    size_t copied = 0;
    size_t length = text_.size();
    for (const Edit& edit : settle(std::move(edits_))) {
      write_trace_line(trace, length, out.size() + (edit.begin - copied), edit.end - edit.begin,
                       edit.replacement.size());
      out.append(text_.substr(copied, edit.begin - copied));
      out += edit.replacement;
      copied = edit.end;
      length = length - (edit.end - edit.begin) + edit.replacement.size();
    }
    out.append(text_.substr(copied));
    std::stable_sort(notes_.begin(), notes_.end(),
                     [](const Note& a, const Note& b) { return a.line < b.line; });
    return out;
  }

  std::string_view text_;
  const JavaSource& source_;
  const JavaStructure& structure_;
  std::string_view source_class_;
  std::string_view destination_class_;
  IoAnalysis io_;
  std::string title_;
  std::vector<Edit> edits_;
  std::vector<Note> notes_;
};

}  // namespace

LenientResult rewrite_lenient(const JavaProgram& program, std::string_view source_class,
                              std::string_view destination_class, std::ostream& trace) {
  return Lenient(program, source_class, destination_class).run(trace);
}

LenientResult rewrite_lenient(std::string_view source, std::string_view source_class,
                              std::string_view destination_class, std::ostream& trace) {
  return rewrite_lenient(JavaProgram(source), source_class, destination_class, trace);
}

}  // namespace convert
