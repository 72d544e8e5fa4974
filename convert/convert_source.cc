#include "convert/convert_source.h"

#include <ostream>

#include "convert/java_features.h"
#include "convert/java_structure.h"
#include "convert/layout_notes.h"
#include "convert/lenient.h"
#include "convert/rewrite.h"

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
  std::string result;
  std::vector<Note> notes;
  {
    // Analysed once, for the notes, the lenient rewriting and the release;
    // gone before the default rewriting takes the text over.
    const JavaProgram program(text);
    converted.newest_feature = newest_feature(program);
    if (options.lenient) {
      LenientResult lenient = rewrite_lenient(program, source_class, destination_class, io.out);
      result = std::move(lenient.text);
      notes = std::move(lenient.notes);
    } else {
      notes = layout_notes(program, source_class, destination_class);
    }
  }
  if (!options.lenient)
    result = rewrite_source(std::move(text), source_class, destination_class, io.out);
  // In one write: standard error is unbuffered, and a source may have
  // thousands of notes.
  std::string noted;
  for (const Note& note : notes)
    noted += source_file + ':' + std::to_string(note.line) + ": note: " + note.text + '\n';
  io.err << noted;
  if (!destination->write(result, error) || !destination->close(error))
    return fail(io, "cannot write " + destination_file + ": " + error);
  converted.ok = true;
  return converted;
}

}  // namespace convert
