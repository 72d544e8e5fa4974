#include "convert/convert_source.h"

#include <ostream>

#include "convert/default_layout.h"
#include "convert/layout_notes.h"
#include "convert/lenient.h"
#include "convert/program_sources.h"
#include "convert/rewrite.h"
#include "java/features.h"
#include "java/structure.h"

namespace convert {
namespace {

ConvertResult fail(platform::Io& io, const std::string& why) {
  io.out << "Probleme!!!\n";
  io.error() << why << '\n';
  return {};
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
    if (options.lenient) {
      plan = plan_lenient(program, source_class, destination_class);
      notes = std::move(plan.notes);
    } else {
      notes = layout_notes(program, layout, source_class, destination_class);
    }
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
      options.lenient ? plan.apply(text, io.out)
                      : rewrite_source(std::move(text), source_class, destination_class, io.out);
  std::string().swap(text);
  if (!destination->write(result, error) || !destination->close(error))
    return fail(io, "cannot write " + destination_file + ": " + error);
  converted.ok = true;
  return converted;
}

}  // namespace convert
