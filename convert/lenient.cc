#include "convert/lenient.h"

#include <algorithm>
#include <ostream>
#include <unordered_set>

#include "convert/program_sources.h"
#include "convert/trace.h"
#include "java/io_analysis.h"
#include "java/structure.h"

namespace convert {

using java::Handler;
using java::kNone;
using java::Method;
using java::ReaderUse;
using java::ReaderVariable;
using java::TokenKind;
using java::TryStatement;
using java::TypeName;
using Edit = LenientPlan::Edit;
using Text = LenientPlan::Text;

namespace {

enum class Completion { yes, no, unknown };

bool is_line_end(char c) { return c == '\n' || c == '\r'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool in_text_order(const Edit& a, const Edit& b) {
  return a.begin != b.begin ? a.begin < b.begin : a.end > b.end;
}

}  // namespace

class LenientPlanner {
 public:
  LenientPlanner(const java::Program& program, std::string_view source_class,
                 std::string_view destination_class, bool launcher)
      : text_(program.source.text()),
        program_(program),
        source_(program.source),
        structure_(program.structure),
        source_class_(source_class),
        launcher_(launcher) {
    plan_.destination_class_ = std::string(destination_class);
  }

  LenientPlan run() {
    if (source_.too_large()) {
      note(0, "the file is too large to convert token by token; it is left as it is");
      return std::move(plan_);
    }
    java::IoOptions io;
    for (const ReaderVariable& reader : structure_.readers)
      if (java::is_convertible(reader)) io.converted_readers.push_back(reader.name);
    io_ = java::analyse_io(program_, io);
    // Room for more edits than a source can have (a line end, or a token in
    // four, each): never copied as it grows, and what is not used costs
    // no memory.
    edits_.reserve(source_.line_of(text_.size()) + source_.size() / 4 + 16);
    trailing_blanks();
    end_run();
    package_declaration();
    end_run();
    for (const ReaderVariable& reader : structure_.readers) {
      convert_reader(reader);
      end_run();
    }
    scanners();
    end_run();
    redirections();
    end_run();
    title();
    throws_clauses();
    end_run();
    catches();
    end_run();
    imports();
    launcher();
    file_class();
    doubts();
    sort_edits();
    plan_.notes.sort();
    return std::move(plan_);
  }

 private:
  // Byte offsets of code token c.
  size_t begin(size_t c) const { return source_.begin(c); }
  size_t end(size_t c) const { return source_.end(c); }

  // The edits come in runs, one per pass, each nearly in text order: each
  // is sorted by itself and merged in, stably, which costs less than
  // sorting them all and gives the same order.
  void end_run() {
    if (runs_.empty() || runs_.back() != edits_.size()) runs_.push_back(edits_.size());
  }
  void sort_edits() {
    end_run();
    size_t merged = 0;
    for (size_t end : runs_) {
      const auto first = edits_.begin() + static_cast<std::ptrdiff_t>(merged);
      const auto last = edits_.begin() + static_cast<std::ptrdiff_t>(end);
      if (!std::is_sorted(first, last, in_text_order)) std::stable_sort(first, last, in_text_order);
      std::inplace_merge(edits_.begin(), first, last, in_text_order);
      merged = end;
    }
    runs_.assign(1, edits_.size());
  }

  void edit(size_t from, size_t to, Text replacement = Text::nothing) {
    edits_.push_back({static_cast<uint32_t>(from), static_cast<uint32_t>(to), replacement});
  }

  void note(size_t offset, const std::string& text) {
    plan_.notes.add(source_.line_of(offset), text);
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
  // included, when nothing else stands on it: only blanks between them and
  // a line end (or the text's end) on either side. A comment there keeps
  // the line.
  Edit removal(size_t first, size_t last) const {
    const size_t from = begin(first), to = end(last);
    const Edit kept{static_cast<uint32_t>(from), static_cast<uint32_t>(to), Text::nothing};
    size_t start = from, stop = to;
    while (start > 0 && is_blank(text_[start - 1])) --start;
    if (start != 0 && !is_line_end(text_[start - 1])) return kept;
    while (stop < text_.size() && is_blank(text_[stop])) ++stop;
    if (stop < text_.size()) {
      if (!is_line_end(text_[stop])) return kept;
      stop += terminator_length(stop);
    }
    return {static_cast<uint32_t>(start), static_cast<uint32_t>(stop), Text::nothing};
  }

  // Blanks before a line end go, outside comments and literals: in the
  // gaps between code tokens, lexed again.
  void trailing_blanks() {
    size_t gap = 0;
    for (size_t c = 0; c <= source_.size(); ++c) {
      const size_t gap_end = c < source_.size() ? begin(c) : text_.size();
      // Most gaps are a blank or nothing: only one with a line end needs a look.
      bool line_end = false;
      for (size_t i = gap; i < gap_end && !line_end; ++i) line_end = is_line_end(text_[i]);
      for (java::Lexer lexer(text_.substr(0, line_end ? gap_end : gap), gap); !lexer.done();) {
        const size_t piece = lexer.position();
        const java::Lexed lexed = lexer.next();
        if (lexed.kind != TokenKind::whitespace) continue;
        for (size_t i = piece; i < lexed.end; ++i) {
          if (!is_line_end(text_[i])) continue;
          size_t first = i;
          while (first > piece && is_blank(text_[first - 1])) --first;
          if (first < i) edit(first, i);
          if (text_.compare(i, 2, "\r\n") == 0) ++i;
        }
      }
      if (c < source_.size()) gap = end(c);
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
          edit(begin(use.token), end(use.token), Text::console_in);
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
        else if (use.last == kNone)
          note(begin(use.token), name +
                                     " is declared here along with other variables, or without "
                                     "its ';'; it and its uses are left as they are, reading "
                                     "System.in, which the console window feeds");
      } else if (use.kind == ReaderUse::Kind::other) {
        note(begin(use.token), name + " is used here other than by " + name +
                                   ".readLine(); the reader and all its uses are left as they "
                                   "are, reading System.in, which the console window feeds");
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
      edit(begin(system), end(system + 2), Text::console_in);
    for (size_t system : structure_.standard_input)
      note(begin(system),
           "System.in is read here other than through a BufferedReader or a Scanner the "
           "console can take over; it stays as it is: the console window feeds System.in too");
  }

  // The console library, and the class a jar starts, are in the unnamed
  // package: the program goes there too.
  void package_declaration() {
    if (structure_.package_keyword == kNone) return;
    edits_.push_back(removal(structure_.package_keyword, structure_.package_end));
    note(begin(structure_.package_keyword),
         "the package declaration (package " + java::package_name(source_, structure_) +
             ") goes: the console library and the class a jar starts are in the unnamed "
             "package");
  }

  void remove_resource(const ReaderUse& use) {
    // Tries come in text order: find the one by its '(' in log time.
    const auto& tries = structure_.tries;
    auto it =
        std::lower_bound(tries.begin(), tries.end(), use.resource_open,
                         [](const TryStatement& t, size_t open) { return t.keyword + 1 < open; });
    if (it == tries.end() || it->resources_open != use.resource_open) return;
    const TryStatement* statement = &*it;
    if (!use.sole_resource) {
      // One of several: it goes with the ';' that parts it from the next.
      const size_t to = use.last + 1 < source_.size() && source_.is(use.last, ";")
                            ? begin(use.last + 1)
                            : end(use.last);
      edit(begin(use.first), to);
      return;
    }
    if (structure_.handlers(*statement).empty())
      edit(begin(statement->keyword), begin(statement->body_open));  // a block
    else
      edit(end(statement->keyword), end(source_.match(use.resource_open)));
  }

  void redirections() {
    for (size_t c = 0; c < source_.size(); ++c) {
      const std::string_view w = source_.word(c);
      if (!source_.is_identifier(c)) continue;
      // A class of the program's own named like this one is the program.
      if (w == source_class_) {
        if (plan_.destination_class_ != source_class_ && !launcher_)
          edit(begin(c), end(c), Text::destination_class);
        continue;
      }
      const bool qualified = c > 0 && source_.is(c - 1, ".");
      // System.out, and System.console(), which is null in the window and
      // wherever no terminal is: the console library's stands in for it.
      if ((w == "System" && source_.is(c + 1, ".") && source_.is(c + 2, "out") && !qualified) ||
          java::is_system_console(source_, c))
        edit(begin(c), end(c), Text::console);
      // java.io.Console written out in full, outside an import.
      if (w == "java" && !qualified && source_.is(c + 1, ".") && source_.is(c + 2, "io") &&
          source_.is(c + 3, ".") && source_.is(c + 4, "Console") &&
          !(c > 0 && source_.is(c - 1, "import")))
        edit(begin(c), end(c + 4), Text::console);
    }
  }

  // The title is set first thing in the class that holds main, in a static
  // block of its own: the console is set up before the class's static
  // fields, so that a reader made there reads the window too. An interface
  // or an enum takes it as main's first statement. On the line of the
  // brace: no line moves, so a stack trace names the lines the author sees.
  void title() {
    if (!structure_.main) {
      note(0, "no main method (static void main(String[] ...)) found; no title is set");
      return;
    }
    const std::string call = "Console.setTitle(" + java_string_literal(source_class_) + ");";
    size_t brace = structure_.methods[*structure_.main].body_open;
    std::string& title = plan_.title_;
    title = " " + call;
    if (structure_.main_type) {
      const java::TypeDeclaration& type = structure_.type_declarations[*structure_.main_type];
      const std::string_view keyword = source_.word(type.keyword);
      if (keyword == "class" || keyword == "record") {
        brace = type.body_open;
        title = " static { " + call + " }";
      }
    }
    edit(end(brace), end(brace), Text::title);
  }

  // A throws clause loses IOException where nothing in the method can
  // throw one any more; any other type it names stays.
  void throws_clauses() {
    for (size_t m = 0; m < structure_.methods.size(); ++m) {
      const Method& method = structure_.methods[m];
      if (io_.method_body_throws[m] || structure_.throws(method).empty()) continue;
      remove_io_types(structure_.throws(method), method.throws_keyword - 1);
    }
  }

  // Removes the IOException entries from a list of types separated by ','
  // or '|'; `before` is the code token before the list, which goes with it
  // when nothing is left.
  void remove_io_types(java::Span<TypeName> types, size_t before) {
    const size_t kept = static_cast<size_t>(std::count_if(
        types.begin(), types.end(), [](const TypeName& t) { return !is_io_exception(t); }));
    if (kept == types.size()) return;
    if (kept == 0) {
      edit(end(before), end(types.back().last));
      return;
    }
    for (size_t i = 0; i < types.size(); ++i) {
      if (!is_io_exception(types[i])) continue;
      if (i == 0)
        edit(begin(types[i].first), begin(types[i + 1].first));
      else
        edit(end(types[i - 1].last), end(types[i].last));
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
      const auto handlers = structure_.handlers(statement);
      for (size_t h = 0; h < handlers.size(); ++h) {
        const Handler& handler = handlers[h];
        const auto types = structure_.types(handler);
        if (std::none_of(types.begin(), types.end(), java::is_io_exception)) continue;
        if (types.size() > 1) {
          remove_io_types(types, handler.keyword + 1);
          continue;
        }
        const bool safe =
            completion(statement.body_open, statement.body_close) == Completion::yes ||
            completion(handler.block_open, handler.block_close) == Completion::no;
        const TypeName& type = types.front();
        if (!safe) {
          edit(begin(type.first), end(type.last), Text::unchecked);
          continue;
        }
        const size_t previous = h == 0 ? statement.body_close : handlers[h - 1].block_close;
        edit(end(previous), end(handler.block_close));
        if (handlers.size() == 1) edit(begin(statement.keyword), begin(statement.body_open));
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
    // The edits so far as they will apply, in text order: sorted in place
    // (apply() sorts them again, stably, with what comes after) and read
    // as settle() keeps them.
    sort_edits();
    // Only the names an import of java.io can be about are collected: the
    // types of java.io, and those imported one by one.
    std::vector<size_t> statements;
    std::vector<std::string_view> imported;
    for (size_t c = 0; c + 6 < source_.size(); ++c)
      if (source_.is(c, "import") && source_.is(c + 1, "java") && source_.is(c + 3, "io") &&
          source_.is(c + 6, ";") && !source_.is(c + 5, "*"))
        imported.push_back(source_.word(c + 5));
    std::unordered_set<std::string_view> before, after;
    size_t next_edit = 0, covered = 0;
    const Edit* settled = nullptr;  // the last kept edit so far
    auto advance = [&](size_t offset) {
      for (; next_edit < edits_.size() && edits_[next_edit].begin <= offset; ++next_edit) {
        const Edit& e = edits_[next_edit];
        if (e.begin < covered || (e.begin == e.end && e.replacement == Text::nothing)) continue;
        covered = e.end;
        settled = &e;
      }
    };
    for (size_t c = 0; c < source_.size(); ++c) {
      if (source_.is(c, "import") && (c == 0 || source_.is(c - 1, ";"))) {
        statements.push_back(c);
        while (c < source_.size() && !source_.is(c, ";")) ++c;
        continue;
      }
      if (!source_.is_identifier(c)) continue;
      // Class names start with a capital: most names go at once.
      const char first = text_[begin(c)];
      if (!(first >= 'A' && first <= 'Z') && !source_.escaped(c) && imported.empty()) continue;
      const std::string_view word = source_.word(c);
      if (!java::is_java_io_type(word) &&
          std::find(imported.begin(), imported.end(), word) == imported.end())
        continue;
      before.insert(word);
      advance(begin(c));
      const bool edited = settled && settled->begin <= begin(c) && end(c) <= settled->end &&
                          settled->end > settled->begin;
      if (!edited) after.insert(word);
    }
    auto any_io = [](const std::unordered_set<std::string_view>& names) {
      return std::any_of(names.begin(), names.end(), java::is_java_io_type);
    };
    std::vector<Edit> removed;
    for (size_t c : statements) {
      if (!(source_.is(c + 1, "java") && source_.is(c + 2, ".") && source_.is(c + 3, "io") &&
            source_.is(c + 4, ".") && source_.is(c + 6, ";")))
        continue;
      std::string_view what = source_.word(c + 5);
      // java.io.Console would hide the console library's class, which now
      // stands for it.
      bool unneeded = what == "*" ? any_io(before) && !any_io(after)
                                  : what == "Console" || (before.count(what) && !after.count(what));
      if (unneeded) removed.push_back(removal(c, c + 6));
    }
    // Neighbouring lines go as one change, with the empty line after them
    // when they opened the file or a paragraph.
    for (size_t i = 0; i < removed.size(); ++i) {
      Edit merged = removed[i];
      while (i + 1 < removed.size() && removed[i + 1].begin == merged.end)
        merged.end = removed[++i].end;
      const size_t next_end = line_end(merged.end);
      const bool whole_lines =
          merged.begin == line_start(merged.begin) && merged.end == line_start(merged.end);
      if (whole_lines && after_empty_line(merged.begin) && blank(merged.end, next_end) &&
          next_end < text_.size())
        merged.end = static_cast<uint32_t>(next_end + terminator_length(next_end));
      edits_.push_back(merged);
    }
  }

  // The packager's class, after the last token so that no line moves; the
  // program's class gives up `public`, which only a file of its name may
  // declare.
  void launcher() {
    if (!launcher_ || !structure_.main || !structure_.main_type || source_.size() == 0) return;
    const java::TypeDeclaration& type = structure_.type_declarations[*structure_.main_type];
    if (type.enclosing != kNone || source_.word(type.name) != source_class_) return;
    for (size_t c = type.keyword; c > 0 && java::is_modifier(source_.word(c - 1)); --c) {
      if (!source_.is(c - 1, "public")) continue;
      size_t to = end(c - 1);
      if (to < text_.size() && is_blank(text_[to])) ++to;
      edit(begin(c - 1), to);
    }
    // The title is the class's own business: its static block sets it.
    plan_.launcher_ = " " + launcher_class(plan_.destination_class_, source_class_, "", true);
    const size_t last = end(source_.size() - 1);
    edit(last, last, Text::launcher);
  }

  void file_class() {
    if (auto other = class_named_otherwise(program_, source_class_))
      plan_.notes.add(other->line, other->text);
  }

  void doubts() {
    if (!source_.balanced())
      note(0, "the brackets and braces do not balance; what could not be matched is left as it is");
    if (const auto open = source_.first_unterminated()) {
      note(open->offset,
           open->kind == TokenKind::block_comment
               ? "this comment is not closed; the rest of the file is left as it is"
           : open->kind == TokenKind::text_block
               ? "this text block is not closed; the rest of the file is left as it is"
               : "this literal is not closed; the rest of its line is left as it is");
    }
    for (size_t c = 0; c < source_.size(); ++c) {
      if (source_.escaped(c) || !source_.is_identifier(c)) continue;
      const std::string_view w = source_.word(c);
      if (w == "class" || w == "interface" || w == "enum" || w == "record") return;
    }
    note(0, "no class declaration found; this does not look like a Java source");
  }

  std::string_view text_;
  const java::Program& program_;
  const java::Source& source_;
  const java::Structure& structure_;
  std::string_view source_class_;
  bool launcher_;
  java::IoAnalysis io_;
  LenientPlan plan_;
  std::vector<Edit>& edits_ = plan_.edits_;
  std::vector<size_t> runs_;  // where each pass's edits end
};

std::string_view LenientPlan::replacement(Text text) const {
  switch (text) {
    case Text::nothing:
      return "";
    case Text::console_in:
      return "Console.in";
    case Text::console:
      return "Console";
    case Text::destination_class:
      return destination_class_;
    case Text::title:
      return title_;
    case Text::unchecked:
      return "java.io.UncheckedIOException";
    case Text::launcher:
      return launcher_;
  }
  return "";
}

std::string LenientPlan::apply(std::string_view text, std::ostream& trace) const {
  // The edits come in text order; one is dropped where an earlier one
  // already changed its bytes.
  TraceWriter tracer(trace);
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 64);
  size_t copied = 0, covered = 0;
  size_t length = text.size();
  std::string kept;
  for (const Edit& edit : edits_) {
    std::string_view replacement = this->replacement(edit.replacement);
    const std::string_view removed = text.substr(edit.begin, edit.end - edit.begin);
    // No line moves: the line ends of what goes stay, and what follows on
    // the last line keeps that line's indentation. A lone CR and an LF
    // that were not a pair never meet, as they would make one line end of
    // two: a blank parts them.
    kept.assign(replacement);
    const size_t last_end = removed.find_last_of("\r\n");
    if (last_end != std::string_view::npos) {
      for (size_t i = 0; i < removed.size(); ++i) {
        const char c = removed[i];
        if (!is_line_end(c)) continue;
        if (c == '\n' && !kept.empty() && kept.back() == '\r' && (i == 0 || removed[i - 1] != '\r'))
          kept += ' ';
        kept += c;
      }
      if (edit.end < text.size() && !is_line_end(text[edit.end])) {
        size_t indent = last_end + 1;
        while (indent < removed.size() && is_blank(removed[indent])) ++indent;
        kept.append(removed.substr(last_end + 1, indent - last_end - 1));
      }
    }
    // No edit starts or ends inside a CR LF pair: whatever meets across
    // its ends was apart.
    const char before = edit.begin > copied ? text[edit.begin - 1]
                        : out.empty()       ? '\0'
                                            : out.back();
    const char after = edit.end < text.size() ? text[edit.end] : '\0';
    if (before == '\r' && !kept.empty() && kept.front() == '\n') kept.insert(0, " ");
    if (after == '\n' && (kept.empty() ? before == '\r' : kept.back() == '\r')) kept += ' ';
    replacement = kept;
    if (edit.begin < covered || replacement == removed) continue;
    covered = edit.end;
    tracer.line(length, out.size() + (edit.begin - copied), edit.end - edit.begin,
                replacement.size());
    out.append(text.substr(copied, edit.begin - copied));
    out += replacement;
    copied = edit.end;
    length = length - (edit.end - edit.begin) + replacement.size();
  }
  out.append(text.substr(copied));
  return out;
}

LenientPlan plan_lenient(const java::Program& program, std::string_view source_class,
                         std::string_view destination_class, bool launcher) {
  return LenientPlanner(program, source_class, destination_class, launcher).run();
}

std::string java_string_literal(std::string_view text) {
  std::string literal = "\"";
  for (const char ch : text) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x20 || byte == 0x7f) {
      literal += '\\';
      for (int shift = 6; shift >= 0; shift -= 3)
        literal += static_cast<char>('0' + ((byte >> shift) & 7));
      continue;
    }
    if (ch == '"' || ch == '\\') literal += '\\';
    literal += ch;
  }
  return literal + "\"";
}

std::string launcher_class(std::string_view launcher, std::string_view launched,
                           std::string_view title, bool accessible) {
  std::string text = "public class " + std::string(launcher) +
                     " { public static void main(String[] args) throws Throwable { ";
  if (!title.empty()) text += "Console.setTitle(" + java_string_literal(title) + "); ";
  if (accessible) return text + std::string(launched) + ".main(args); } }";
  // A class its package keeps to itself: its main reached as the java
  // launcher reaches it, what it throws thrown on as it is.
  return text + "java.lang.reflect.Method main = Class.forName(" + java_string_literal(launched) +
         ").getDeclaredMethod(\"main\", String[].class); main.setAccessible(true); try { "
         "main.invoke(null, (Object) args); } catch (java.lang.reflect.InvocationTargetException "
         "e) { throw e.getCause(); } } }";
}

LenientResult rewrite_lenient(std::string_view source, std::string_view source_class,
                              std::string_view destination_class, std::ostream& trace,
                              bool launcher) {
  LenientPlan plan;
  {
    const java::Program program(source);
    plan = plan_lenient(program, source_class, destination_class, launcher);
  }
  std::string text = plan.apply(source, trace);
  return {std::move(text), plan.notes.all()};
}

}  // namespace convert
