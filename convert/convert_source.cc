#include "convert/convert_source.h"

#include <ostream>

#include "convert/default_layout.h"
#include "convert/layout_notes.h"
#include "convert/lenient.h"
#include "convert/program_sources.h"
#include "convert/rewrite.h"
#include "convert/source_encoding.h"
#include "java/features.h"
#include "java/structure.h"

namespace convert {
namespace {

ConvertResult fail(platform::Io& io, const std::string& why) {
  io.out << "Probleme!!!\n";
  io.error() << why << '\n';
  return {};
}

// Whether the declaration whose first token after its modifiers is
// `first` is declared public.
bool declared_public(const java::Source& source, size_t first) {
  for (size_t c = first; c > 0 && java::is_modifier(source.word(c - 1)); --c)
    if (source.is(c - 1, "public")) return true;
  return false;
}

// A program in a package keeps it, so that the rest of its tree finds it
// and what it prints of its names is the original's: it is compiled as
// written, and the destination class only opens the console and calls its
// main. The console library, in the unnamed package, cannot be seen from a
// package; the window it opens shows System.out and feeds System.in.
std::string package_launcher(const java::Program& program, NoteList& notes,
                             const std::string& package, const std::string& source_class,
                             const std::string& destination_class) {
  const java::Source& source = program.source;
  const java::Structure& structure = program.structure;
  // Without a main to call, javac says so.
  bool accessible = true;
  if (structure.main && structure.main_type) {
    const java::TypeDeclaration& type = structure.type_declarations[*structure.main_type];
    const java::Method& main = structure.methods[*structure.main];
    const bool interface = source.is(type.keyword, "interface");
    accessible = type.enclosing == java::kNone && declared_public(source, type.keyword) &&
                 (interface || declared_public(source, main.name - 1));
  }
  notes.add(source.line_of(source.begin(structure.package_keyword)),
            "this file is in the package " + package +
                ": the program is compiled as written, from its source tree, and " +
                destination_class + " only opens the console and calls the main of " + package +
                "." + source_class);
  for (size_t c = 0; c < source.size(); ++c)
    if (java::is_system_console(source, c))
      notes.add(source.line_of(source.begin(c)),
                "System.console() stays as it is in a package, which cannot see the console "
                "library: it is null in the window");
  return launcher_class(destination_class, package + "." + source_class, source_class, accessible);
}

}  // namespace

ConvertResult convert_source(platform::Io& io, const std::string& source_file,
                             const std::string& destination_file, const std::string& source_class,
                             const std::string& destination_class, const ConvertOptions& options) {
  io.out << "Fichier java source      : " << source_file << '\n'
         << "Fichier java destination : " << destination_file << '\n'
         << "Classe source            : " << source_class << '\n'
         << "Classe destination       : " << destination_class << '\n';

  std::string text, error;
  if (!io.system.read_file(source_file, text, error))
    return fail(io, "cannot read " + source_file + ": " + error);
  const SourceEncoding encoding = detect_encoding(text);
  if (io.system.same_file(source_file, destination_file))
    return fail(io, destination_file + " is the source file itself; it is left as it is");
  // The destination is replaced once the conversion is complete: until
  // then, whatever happens, it stays as it was.
  auto destination = io.system.create_replacement(destination_file, error);
  if (!destination)
    return fail(io, "cannot create " + destination_file + ": " + error);

  ConvertResult converted;
  NoteList notes;
  LenientPlan plan;
  std::string launcher;
  // javac reads UTF-8: with --lenient the text is turned into it first.
  if (encoding != SourceEncoding::utf8) {
    notes.add(1,
              "this file is saved in " + std::string(encoding_name(encoding)) +
                  (options.lenient ? "; it is converted from it, and written and compiled in UTF-8"
                                   : ", which javac, reading UTF-8, rejects; try --lenient"));
    if (options.lenient) text = to_utf8(text, encoding);
  }
  {
    // The layout's matches, before the analysis: never both copies at once.
    const layout::Matches layout = options.lenient ? layout::Matches() : layout::find_layout(text);
    // Analysed once, for the notes, the lenient plan and the release; gone
    // before the text is rewritten, so the two never take memory together.
    const java::Program program(text);
    converted.newest_feature = java::newest_feature(program);
    converted.package = java::package_name(program.source, program.structure);
    converted.library_clash =
        library_clash(program, source_file, destination_class != source_class ? source_class : "");
    converted.launches_package = options.lenient && !converted.package.empty();
    NoteList found;
    if (converted.launches_package) {
      launcher =
          package_launcher(program, found, converted.package, source_class, destination_class);
      if (auto other = class_named_otherwise(program, source_class))
        found.add(other->line, other->text);
      converted.library_clash.reset();  // a package's Console is no library class
    } else if (options.lenient) {
      plan = plan_lenient(program, source_class, destination_class, options.launcher);
      found = std::move(plan.notes);
    } else {
      found = layout_notes(program, layout, source_class, destination_class);
    }
    for (size_t i = 0; i < found.size(); ++i) notes.add(found.line(i), found.text(i));
    notes.sort();
  }
  // Before the rewriting, so that they take no memory beside it; in big
  // writes, as standard error is unbuffered and a source may have
  // thousands of notes.
  std::string noted;
  for (size_t i = 0; i < notes.size(); ++i) {
    noted += source_file + ':' + std::to_string(notes.line(i)) + ": note: " + notes.text(i) + '\n';
    if (noted.size() > (1 << 16)) {
      io.err << noted;
      noted.clear();
    }
  }
  io.err << noted;
  notes = NoteList();
  std::string result =
      converted.launches_package ? launcher + "\n"
      : options.lenient          ? plan.apply(text, io.out)
                        : rewrite_source(std::move(text), source_class, destination_class, io.out);
  std::string().swap(text);
  converted.non_ascii = options.lenient && has_non_ascii(result);
  if (!destination->write(result, error) || !destination->close(error))
    return fail(io, "cannot write " + destination_file + ": " + error);
  converted.ok = true;
  return converted;
}

}  // namespace convert
