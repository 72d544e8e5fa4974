// consoleconv SOURCE DESTINATION: rewrites the console Java program
// SOURCE.java for the console class library into DESTINATION, under the
// same class name, and compiles it there.
#include <iostream>

#include "convert/build_steps.h"
#include "convert/convert_source.h"
#include "convert/names.h"

int main(int argc, char** argv) {
  auto names = argc >= 3 ? convert::derive_names(argv[1], argv[2], "") : std::nullopt;
  if (!names) {
    std::cerr << "usage: consoleconv SOURCE DESTINATION\n"
                 "  SOURCE       the Java source file without .java, ending in its class name\n"
                 "  DESTINATION  the directory that receives the converted source and class\n";
    return 2;
  }
  platform::Io io{platform::real_system(), std::cout, std::cerr};
  const std::string destination_directory = argv[2];
  bool ok = convert::convert_source(io, names->source_file, names->destination_file,
                                    names->source_class, names->destination_class);
  ok = convert::compile_class(io, names->destination_class, destination_directory) && ok;
  return ok ? 0 : 1;
}
