// consolepack SOURCE DESTINATION: rewrites the console Java program
// SOURCE.java for the console class library as SOURCEEnConsole in
// DESTINATION, compiles it there and packages it, with the library's class
// files found there, into an executable jar.
#include <iostream>

#include "convert/build_steps.h"
#include "convert/convert_source.h"
#include "convert/names.h"

int main(int argc, char** argv) {
  auto names = argc >= 3 ? convert::derive_names(argv[1], argv[2], "EnConsole") : std::nullopt;
  if (!names) {
    std::cerr << "usage: consolepack SOURCE DESTINATION\n"
                 "  SOURCE       the Java source file without .java, ending in its class name\n"
                 "  DESTINATION  the directory that holds the console library's class files\n"
                 "               and receives the converted program and its jar\n";
    return 2;
  }
  platform::Io io{platform::real_system(), std::cout, std::cerr};
  const std::string directory = argv[2];
  const std::string& cls = names->destination_class;
  // Every step runs whatever happened before it; the manifest goes in any case.
  bool ok = convert::convert_source(io, names->source_file, names->destination_file,
                                    names->source_class, cls);
  ok = convert::compile_class(io, cls, directory) && ok;
  ok = convert::write_manifest(io, cls, directory) && ok;
  ok = convert::build_jar(io, cls, directory) && ok;
  ok = convert::remove_manifest(io, cls, directory) && ok;
  return ok ? 0 : 1;
}
