#include "convert/layout_notes.h"

#include <algorithm>
#include <string>

#include "convert/default_layout.h"
#include "convert/program_sources.h"
#include "java/io_analysis.h"
#include "java/structure.h"

namespace convert {
namespace {

using java::Handler;
using java::kNone;
using java::Method;
using java::ReaderUse;
using java::ReaderVariable;
using java::TokenKind;
using java::TypeName;

constexpr std::string_view kTry = "; try --lenient";
class Notes {
 public:
  Notes(const java::Program& program, const layout::Matches& layout, std::string_view source_class,
        std::string_view destination_class)
      : text_(program.source.text()),
        layout_(layout),
        program_(program),
        source_(program.source),
        structure_(program.structure),
        source_class_(source_class),
        destination_class_(destination_class) {}

  NoteList run() {
    if (source_.too_large()) return {};
    if (!line_ends()) {
      reader_field();
      java_io_import();
      main_header();
    }
    package_declaration();
    file_class();
    exceptions();
    renames();
    escaped_names();
    other_readers();
    system_console();
    notes_.sort();
    return std::move(notes_);
  }

 private:
  size_t begin(size_t c) const { return source_.begin(c); }

  void note(size_t line, const std::string& text) { notes_.add(line, text + std::string(kTry)); }

  // False when every line ends in CR LF.
  bool line_ends() {
    for (size_t i = 0; i < text_.size(); ++i) {
      if (text_[i] == '\n' && (i == 0 || text_[i - 1] != '\r')) {
        note(source_.line_of(i),
             "this line ends in LF, not CR LF: the java.io import, the reader field, trailing "
             "blanks and the main header are not recognised in such lines");
        return true;
      }
    }
    return false;
  }

  void reader_field() {
    if (layout_.field) return;
    const ReaderVariable* flux = java::find_reader(structure_, "flux");
    if (!flux) return;
    for (const ReaderUse& use : flux->uses) {
      if (use.kind != ReaderUse::Kind::declaration || use.resource_open != kNone) continue;
      note(source_.line_of(begin(use.token)),
           "the reader flux is declared here " + how_declared(use) +
               ", not as the expected line \"  static BufferedReader flux = new "
               "BufferedReader(new InputStreamReader(System.in));\", so it stays");
      return;
    }
  }

  std::string how_declared(const ReaderUse& use) const {
    if (use.local) return "inside a method";
    if (!use.reads_console) return "without the usual System.in reader";
    size_t start = begin(use.first);
    while (start > 0 && text_[start - 1] != '\n' && text_[start - 1] != '\r') --start;
    std::string_view indent = text_.substr(start, begin(use.first) - start);
    if (indent.find('\t') != std::string_view::npos) return "indented by a tab";
    if (indent != "  ") return "indented by " + std::to_string(indent.size()) + " blanks";
    std::string modifiers;
    for (size_t c = use.first; !source_.is(c, "BufferedReader") && !source_.is(c, "java"); ++c)
      modifiers += (modifiers.empty() ? "" : " ") + std::string(source_.word(c));
    if (modifiers != "static") return "with the modifiers \"" + modifiers + "\"";
    return "with other spacing or line breaks";
  }

  void java_io_import() {
    if (layout_.import) return;
    for (size_t c = 0; c + 4 < source_.size(); ++c) {
      if (!(source_.is(c, "import") && source_.is(c + 1, "java") && source_.is(c + 3, "io")))
        continue;
      note(source_.line_of(begin(c)),
           source_.is(c + 5, "*") ? "import java.io.* is not followed by an empty line, so it stays"
                                  : "java.io classes are imported one by one; the imports stay");
      return;
    }
  }

  void main_header() {
    if (!structure_.main) return;
    const Method& main = structure_.methods[*structure_.main];
    const size_t first = source_.line_of(begin(main.name));
    const size_t last = source_.line_of(begin(main.body_open));
    if (!layout_.marker) {
      note(first,
           "the main method's header does not end in \" args) {\" and a line end, so no title "
           "is set");
      return;
    }
    const size_t line = source_.line_of(*layout_.marker);
    if (line < first || line > last)
      note(line,
           "the title goes into this method, whose header ends like the expected main "
           "header, not into main (line " +
               std::to_string(first) + ")");
  }

  // Every throws IOException goes; every read goes to the console.
  void exceptions() {
    // The default conversion redirects every read but keeps a reader declared
    // another way, a try resource among them.
    java::IoOptions options;
    options.converted_readers = {"flux"};
    options.readers_removed = false;
    options.io_throws_removed = true;
    options.reads_by_name = true;
    const java::IoAnalysis io = java::analyse_io(program_, options);
    for (size_t m = 0; m < structure_.methods.size(); ++m) {
      const Method& method = structure_.methods[m];
      if (broken_throws_list(method)) continue;
      if (!io.method_body_throws[m]) continue;
      const auto throws = structure_.throws(method);
      if (std::none_of(throws.begin(), throws.end(), java::is_io_exception)) continue;
      note(source_.line_of(begin(method.name)),
           "throws IOException goes from " + std::string(source_.word(method.name)) +
               ", which still does input or output that throws it; javac will report it");
    }
    for (size_t t = 0; t < structure_.tries.size(); ++t) {
      if (io.try_body_throws[t]) continue;
      for (const Handler& handler : structure_.handlers(structure_.tries[t])) {
        const auto types = structure_.types(handler);
        if (types.size() != 1 || !java::is_io_exception(types.front())) continue;
        note(source_.line_of(begin(handler.keyword)),
             "once the reads go to the console nothing in this try throws IOException, and "
             "javac rejects the catch");
      }
    }
  }

  // " throws IOException" goes as bytes: at the head of a longer list it
  // leaves the rest of the list behind, which javac rejects.
  bool broken_throws_list(const Method& method) {
    const auto throws = structure_.throws(method);
    if (throws.size() < 2 || !java::is_io_exception(throws[0])) return false;
    const TypeName& first = throws[0];
    const size_t at = begin(method.throws_keyword);
    if (first.first != first.last || at == 0 ||
        text_.compare(at - 1, begin(first.first) - at + 1, " throws ") != 0)
      return false;
    const TypeName& next = throws[1];
    const size_t rest = source_.end(first.last);
    note(source_.line_of(at), "removing \" throws IOException\" from " +
                                  std::string(source_.word(method.name)) + " leaves \"" +
                                  std::string(text_.substr(rest, source_.end(next.last) - rest)) +
                                  "\" behind, which javac rejects");
    return true;
  }

  // Only flux goes to the console by default: every other reader of the
  // keyboard stays. The window feeds System.in once it is open, which is
  // after the static fields of the class holding main are set.
  void other_readers() {
    constexpr std::string_view kEarly =
        "is made before main sets up the console window: it reads standard input, which the "
        "window does not feed";
    for (const ReaderVariable& reader : structure_.readers) {
      if (reader.name == "flux") continue;
      for (const ReaderUse& use : reader.uses) {
        if (!use.reads_console) continue;
        note(source_.line_of(begin(use.token)),
             "the reader " + std::string(reader.name) +
                 " reads System.in, and only flux is "
                 "taken to the console: it stays as it is, and " +
                 (early(use.token) ? std::string(kEarly)
                                   : "the console window feeds System.in once it is open"));
        break;
      }
    }
    for (size_t system : structure_.scanners)
      note(source_.line_of(begin(system)),
           early(system) ? "this Scanner of System.in " + std::string(kEarly)
                         : "this Scanner reads System.in, which stays as it is: the console "
                           "window feeds it once it is open");
    for (size_t system : structure_.standard_input)
      note(source_.line_of(begin(system)),
           early(system) ? "System.in is read here directly, and " + std::string(kEarly)
                         : "System.in is read here directly; it stays as it is, and the console "
                           "window feeds it once it is open");
  }

  // System.console() is null where no terminal is: in the window, and
  // when the jar is started from a file manager or an IDE.
  void system_console() {
    for (size_t c = 0; c < source_.size(); ++c)
      if (java::is_system_console(source_, c))
        note(source_.line_of(begin(c)),
             "System.console() is null in the console window, as wherever no terminal is; "
             "--lenient takes it to the console library's");
  }

  // Whether code token c runs when the class holding main is set up.
  bool early(size_t c) const {
    return structure_.main_type &&
           java::in_static_initialiser(source_, structure_, *structure_.main_type, c);
  }

  // The converted class stays in the package, where it cannot see the
  // console library.
  void package_declaration() {
    if (structure_.package_keyword == kNone) return;
    note(source_.line_of(begin(structure_.package_keyword)),
         "this file is in the package " + java::package_name(source_, structure_) +
             ": the converted class stays there, where it cannot see the console library (in "
             "the unnamed package), so javac will not compile it");
  }

  // Not a layout's matter: no "try --lenient".
  void file_class() {
    if (auto other = class_named_otherwise(program_, source_class_))
      notes_.add(other->line, other->text);
  }

  // The packager renames every occurrence not right after a double quote.
  void renames() {
    if (destination_class_ == source_class_ || source_class_.empty()) return;
    size_t inside_names = 0, inside_text = 0;
    size_t name_line = 0, text_line = 0;
    std::string example;
    // The reader field's line is gone before the renaming.
    size_t field_begin = 0, field_end = 0;
    if (layout_.field) {
      const size_t line = source_.line_of(*layout_.field);
      field_begin = source_.line_start(line);
      field_end = source_.line_start(line + 1);
    }
    for (size_t c = 0; c < source_.size(); ++c) {
      const size_t at_byte = begin(c);
      const TokenKind kind = source_.kind(c);
      if (field_begin <= at_byte && at_byte < field_end) continue;
      // As spelled: the byte patterns see no Unicode escape through.
      const std::string_view word = text_.substr(at_byte, source_.end(c) - at_byte);
      if (kind == TokenKind::identifier && word != source_class_ &&
          word.find(source_class_) != std::string_view::npos) {
        if (inside_names++ == 0) {
          name_line = source_.line_of(at_byte);
          example = std::string(word);
        }
      } else if (kind == TokenKind::string_literal || kind == TokenKind::text_block) {
        for (size_t at = word.find(source_class_); at != std::string_view::npos;
             at = word.find(source_class_, at + 1)) {
          if (at > 0 && word[at - 1] == '"') continue;
          if (inside_text++ == 0) text_line = source_.line_of(at_byte);
        }
      }
    }
    if (inside_names)
      note(name_line, "the class name " + std::string(source_class_) + " is renamed inside " +
                          example + " too" + more(inside_names) + ", which javac will not know");
    if (inside_text)
      note(text_line, "the class name " + std::string(source_class_) +
                          " is renamed inside this string" + more(inside_text) +
                          ", which changes what the program prints");
  }

  // The byte patterns see names as spelled: a Unicode escape hides one.
  void escaped_names() {
    for (size_t c = 0; c < source_.size(); ++c) {
      if (!source_.escaped(c)) continue;
      const std::string_view name = source_.word(c);
      if (name != "flux" && name != "System" && name != source_class_) continue;
      note(source_.line_of(begin(c)),
           std::string(name) +
               " is spelled here with a Unicode escape, which the byte patterns do not match: "
               "it is left as it is");
      return;
    }
  }

  static std::string more(size_t count) {
    return count > 1 ? " (and in " + std::to_string(count - 1) + " more places)" : "";
  }

  std::string_view text_;
  const layout::Matches& layout_;
  const java::Program& program_;
  const java::Source& source_;
  const java::Structure& structure_;
  std::string_view source_class_;
  std::string_view destination_class_;
  NoteList notes_;
};

}  // namespace

NoteList layout_notes(const java::Program& program, const layout::Matches& layout,
                      std::string_view source_class, std::string_view destination_class) {
  return Notes(program, layout, source_class, destination_class).run();
}

NoteList layout_notes(std::string_view source, std::string_view source_class,
                      std::string_view destination_class) {
  const layout::Matches layout = layout::find_layout(source);
  return layout_notes(java::Program(source), layout, source_class, destination_class);
}

}  // namespace convert
