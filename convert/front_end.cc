#include "convert/front_end.h"

#include <algorithm>
#include <new>
#include <optional>
#include <ostream>

#include "convert/build_steps.h"
#include "convert/console_library.h"
#include "convert/convert_source.h"
#include "convert/jdk.h"
#include "convert/names.h"
#include "convert/program_sources.h"
#include "platform/arguments.h"

namespace convert {

const Converter kConsoleconv = {
    "consoleconv", "", false,
    "Rewrite the console Java program SOURCE.java for the console class library\n"
    "into DESTINATION, under the same class name, and compile it there with javac.\n"};

const Converter kConsolepack = {
    "consolepack", "EnConsole", true,
    "Rewrite the console Java program SOURCE.java for the console class library\n"
    "into DESTINATION as the class SOURCEEnConsole, compile it there with javac and\n"
    "package it with the library's class files into the executable jar\n"
    "sourceEnConsole.jar (first letter lowered).\n"};

namespace {

const std::vector<platform::Option> kOptions = {
    {0, "lib", true}, {0, "lenient"}, {0, "release", true}, {'h', "help"}, {0, "version"}};

void print_help(platform::Io& io, const Converter& converter) {
  io.out << "Usage: " << converter.name << " [OPTION]... SOURCE DESTINATION\n"
         << converter.summary
         << "\n"
            "SOURCE is the Java file's path, with or without \".java\"; its last component\n"
            "is the class name. DESTINATION is an existing directory. The console\n"
            "library's class files are taken from DESTINATION when it holds them, else\n"
            "from --lib DIR, else from the library installed with this program.\n"
            "\n"
            "Options:\n"
            "      --lenient    convert programs in other layouts too (see below)\n"
            "      --lib=DIR    take the console library's class files from DIR\n"
            "      --release=N  compile for Java N (javac --release N), not Java 8\n"
            "  -h, --help       display this help and exit\n"
            "      --version    output version information and exit\n"
            "\n"
            "By default the rewriting is a fixed list of byte patterns for one layout: CR LF\n"
            "line ends, \"import java.io.*;\" followed by an empty line, the reader field on\n"
            "a line of its own indented by two blanks, the main header ending in \" args) {\".\n"
            "Where the source strays from it, notes on standard error say what was not\n"
            "recognised. With --lenient the program is converted token by token, whatever\n"
            "its layout and line ends, leaving comments and literals alone, and keeping the\n"
            "imports, throws clauses and catches it still needs; what cannot be converted\n"
            "safely stays as it is, with a note. It takes any BufferedReader or Scanner of\n"
            "System.in to the console, and compiles for the Java release the program needs\n"
            "(a note says which) when that is newer than Java 8. Every line stays where it\n"
            "was. It reads sources saved in UTF-8, UTF-16 with a byte order mark or\n"
            "windows-1252, and takes System.console() to the console library. A program\n"
            "in a package is compiled as written, from its source tree, and the converted\n"
            "file only opens the console and calls its main.\n"
         << (converter.packages
                 ? "With --lenient no class is renamed: SOURCEEnConsole is a small class that\n"
                   "calls SOURCE's main, so that the program prints its own names as written.\n"
                 : "")
         << "\n"
            "Other .java files beside SOURCE are compiled with it where the program uses\n"
            "them, their classes written into DESTINATION.\n"
            "\n"
            "Standard output carries the header lines, one trace line per change\n"
            "(LENGTH POSITION OLD-LENGTH NEW-LENGTH) and the output of javac"
         << (converter.packages ? " and jar" : "")
         << ";\n"
            "errors go to standard error.\n"
            "\n"
            "Exit status:\n"
            "  0  every step succeeded\n"
            "  1  a step failed; the steps after it still ran where they could\n"
            "  2  usage error; nothing was read, written or run\n";
}

// "Greeter.java" as javac users type it means Greeter, unless a file
// Greeter.java.java is really there.
std::string source_without_extension(platform::System& system, const std::string& source) {
  constexpr std::string_view extension = ".java";
  if (source.size() >= extension.size() &&
      source.compare(source.size() - extension.size(), extension.size(), extension) == 0 &&
      system.file_type(source + std::string(extension)) == platform::FileType::none)
    return source.substr(0, source.size() - extension.size());
  return source;
}

// Where javac and jar take the console library from: --lib DIR when given;
// else the destination when it holds the library (the original usage, whose
// command lines name no directory); else the installed library. nullopt
// (reported) when --lib names a directory that cannot be used; `missing`
// when the library is nowhere.
std::optional<BuildOptions> library_options(platform::Io& io, const platform::Arguments& args,
                                            const std::string& destination, bool& missing) {
  BuildOptions options;
  missing = false;
  if (!args.has("lib")) {
    if (!missing_library_file(io.system, destination)) return options;
    options.library_directory = installed_library(io.system);
    missing = !options.library_directory;
    return options;
  }
  const std::string& given = args.options.at("lib");
  std::string error;
  auto absolute = io.system.absolute_path(given, error);
  if (absolute && io.system.file_type(*absolute) != platform::FileType::directory) {
    absolute.reset();
    error = "it is not a directory";
  }
  if (absolute) {
    if (auto lacking = missing_library_file(io.system, *absolute)) {
      absolute.reset();
      error = "it does not hold " + *lacking;
    }
  }
  if (!absolute) {
    io.error() << "cannot use the library directory " << given << ": " << error << '\n';
    return std::nullopt;
  }
  options.library_directory = *absolute;
  return options;
}

// N of --release N.
std::optional<int> release_number(const std::string& text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  const int number = std::stoi(text);
  return number >= 6 ? std::optional<int>(number) : std::nullopt;
}

// The class-file options for javac, and a note where the program needs a
// newer Java than that: by --release when given; else, with --lenient, the
// release the program needs, at most the JDK's; else Java 8 (or the legacy
// options of an old or unknown JDK).
std::string class_version_for(platform::Io& io, const std::string& source_file, bool lenient,
                              std::optional<int> jdk, std::optional<int> release,
                              const std::optional<java::LanguageFeature>& feature) {
  std::string options(class_version_options(jdk));
  int asked = jdk && *jdk >= 9 ? 8 : 0;  // 0: the legacy options
  auto note = [&](const std::string& text) {
    io.err << source_file << ':' << feature->line << ": note: " << feature->name << " needs Java "
           << feature->release << text << '\n';
  };
  if (release) {
    asked = *release;
    options = "--release " + std::to_string(asked);
  } else if (lenient && feature && jdk && *jdk >= 9) {
    asked = std::min(feature->release, *jdk);
    options = "--release " + std::to_string(asked);
    note((asked == feature->release
              ? ""
              : ", newer than the JDK on PATH (" + std::to_string(*jdk) + ")") +
         "; compiling with " + options);
    return options;
  }
  if (feature && asked < feature->release)
    note(", newer than javac is asked for (" + options + ")" +
         (lenient ? "" : "; try --lenient or --release " + std::to_string(feature->release)));
  return options;
}

// The steps once the command line is known to be sound: library and JDK
// checks, conversion, compile, jar. True when every one succeeded.
bool convert_and_build(platform::Io& io, const Converter& converter,
                       const platform::Arguments& parsed, std::optional<int> release,
                       const Names& names) {
  const std::string& directory = parsed.operands[1];
  bool library_missing = false;
  auto options = library_options(io, parsed, directory, library_missing);
  if (!options) return false;
  // Never overwrite, then delete, a manifest of the user's.
  if (converter.packages &&
      io.system.file_type(manifest_path(directory)) != platform::FileType::none) {
    io.error() << manifest_path(directory)
               << " already exists; it is left as it is, move it away and run again\n";
    return false;
  }

  // Without the JDK, say so once rather than once per command.
  auto javac = io.system.find_program("javac", directory);
  bool jar = !converter.packages || io.system.find_program("jar", directory);
  if (!javac || !jar) {
    io.error() << (!javac && !jar ? "javac and jar"
                   : !javac       ? "javac"
                                  : "jar")
               << " not found on PATH; install a JDK\n";
  }
  const std::optional<int> jdk =
      javac && jar ? jdk_feature_release(io.system, *javac) : std::nullopt;
  if (release && jdk && *jdk < *release) {
    io.error() << "--release " << *release << " needs JDK " << *release
               << " or later; the javac on PATH is from JDK " << *jdk << '\n';
    return false;
  }

  ConvertOptions convert_options;
  convert_options.lenient = parsed.has("lenient");
  convert_options.launcher = convert_options.lenient && converter.packages;
  const OtherSources others = other_sources(io.system, names.source_file, names.destination_file);
  const ConvertResult converted =
      convert_source(io, names.source_file, names.destination_file, names.source_class,
                     names.destination_class, convert_options);
  bool ok = converted.ok;
  if (javac && jar)
    options->class_version = class_version_for(io, names.source_file, convert_options.lenient, jdk,
                                               release, converted.newest_feature);
  if (library_missing)
    io.error() << "the console library is not in " << directory
               << " and none is installed; give --lib DIR\n";
  if (!javac || !jar || library_missing) return false;
  // A class of the program's named like one of the library's would take
  // its place: in the compile, in the destination, in the jar. In a
  // package it is a class of its own.
  std::optional<std::string> clash = converted.library_clash;
  if (!clash && !converted.launches_package) clash = library_clash(io.system, others);
  if (clash) {
    io.error() << *clash << '\n';
    return false;
  }
  // The program's other files: by default those beside it, as they are;
  // with --lenient also those of its source tree, in UTF-8.
  std::optional<ProgramSources> sources;
  if (convert_options.lenient) {
    sources = program_sources(io, names.source_file, converted.package, converted.launches_package,
                              names.destination_file, directory);
    if (!sources) return false;
    options->source_path = sources->source_path;
    options->utf8 = sources->utf8 || converted.non_ascii;
  } else if (!others.empty()) {
    options->source_path = others.directory;
  }
  const std::string& cls = names.destination_class;
  const ClassFiles before = converter.packages ? class_files(io.system, directory) : ClassFiles();
  const bool compiled = compile_class(io, cls, directory, *options);
  sources.reset();
  ok = compiled && ok;
  if (!converter.packages) return ok;
  // A jar only of what this run converted and compiled, and only ever from
  // this run's own manifest, which goes in any case.
  const std::string class_file = directory + platform::path_separator() + cls + ".class";
  if (!converted.ok || !compiled || io.system.file_type(class_file) == platform::FileType::none) {
    io.error() << "no jar was made: "
               << (!converted.ok ? names.source_file + " was not converted"
                   : !compiled   ? std::string("javac failed")
                                 : "javac wrote no " + cls + ".class, the class it would start")
               << '\n';
    return false;
  }
  // Every class the program is made of goes into the jar.
  const auto more = program_classes(before, class_files(io.system, directory), cls);
  if (!write_manifest(io, cls, directory)) return false;
  ok = build_jar(io, cls, directory, *options, more) && ok;
  return remove_manifest(io, directory) && ok;
}

}  // namespace

int run(platform::Io& io, const Converter& converter, const std::vector<std::string>& args) {
  std::string problem;
  auto parsed = platform::parse_arguments(args, kOptions, problem);
  if (!parsed) return io.usage_error(problem);
  if (parsed->has("help")) {
    print_help(io, converter);
    return io.finish(0);
  }
  if (parsed->has("version")) {
    io.out << converter.name << ' ' << CONSOLETOOLS_VERSION << '\n';
    return io.finish(0);
  }
  const std::vector<std::string>& operands = parsed->operands;
  if (operands.empty()) return io.usage_error("missing SOURCE and DESTINATION operands");
  if (operands.size() == 1)
    return io.usage_error("missing DESTINATION operand after '" + operands[0] + "'");
  if (operands.size() > 2) return io.usage_error("extra operand '" + operands[2] + "'");
  if (operands[0].empty()) return io.usage_error("SOURCE is empty");
  if (operands[1].empty()) return io.usage_error("DESTINATION is empty");
  if (parsed->has("lib") && parsed->options.at("lib").empty())
    return io.usage_error("option '--lib' requires a directory, not an empty name");
  std::optional<int> release;
  if (parsed->has("release")) {
    release = release_number(parsed->options.at("release"));
    if (!release)
      return io.usage_error("invalid release '" + parsed->options.at("release") +
                            "' for '--release': a Java release from 6 on, as 8 or 17");
  }

  const std::string source = source_without_extension(io.system, operands[0]);
  auto names = derive_names(source, operands[1], converter.class_suffix);
  if (!names) return io.usage_error("SOURCE '" + operands[0] + "' names no class");

  try {
    return io.finish(convert_and_build(io, converter, *parsed, release, *names) ? 0 : 1);
  } catch (const std::bad_alloc&) {
    // The destination is as it was: it is replaced only once complete.
    io.error() << "out of memory converting " << names->source_file << '\n';
    return io.finish(1);
  }
}

}  // namespace convert
