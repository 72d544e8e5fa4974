// Conversion time per MB at growing source sizes, default and lenient,
// beside sed doing the same substitutions on the same file.
// Usage: rewrite_bench [SCRATCH_DIR]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "convert/convert_source.h"

namespace fs = std::filesystem;

namespace {

// One block of a console program, full of what the rewriting changes.
std::string block(int i) {
  std::string n = std::to_string(i);
  return "  static int f" + n +
         "(Bench b) throws IOException {    \r\n"
         "    System.out.println(\"line " +
         n +
         "\" + flux.readLine());   \r\n"
         "    try { System.out.print(b); } catch (IOException e) { }  \r\n"
         "    return new Bench().hashCode() + f" +
         std::to_string(i / 2) +
         "(b);\r\n"
         "  }\r\n";
}

std::string program(size_t bytes) {
  std::string text =
      "import java.io.*;\r\n\r\nclass Bench {\r\n"
      "  static BufferedReader flux = new BufferedReader(new InputStreamReader(System.in));\r\n"
      "  public static void main(String[] args) throws IOException {\r\n  }\r\n";
  for (int i = 0; text.size() < bytes; ++i) text += block(i);
  return text + "}\r\n";
}

template <typename F>
double best_seconds(F run) {
  double best = 1e30;
  for (int i = 0; i < 3; ++i) {
    auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "rewrite_bench";
  fs::create_directories(dir);
  std::ofstream sink("/dev/null");
  platform::Io io{platform::real_system(), sink, sink, "rewrite_bench"};  // notes too
  const std::string sed =
      "sed -e 's/  *\\r$/\\r/' -e 's/ throws IOException//g' -e 's/System\\.out/Console.out/g' "
      "-e 's/flux\\.readLine/Console.in.readLine/g' -e 's/Bench/BenchEnConsole/g' ";

  std::printf("%8s %10s %10s %12s %12s %10s %10s\n", "size MB", "ms", "ms per MB", "lenient ms",
              "lenient/MB", "sed ms", "vs sed");
  for (size_t mb : {1, 4, 16}) {
    const fs::path source = dir / "Bench.java", out = dir / "BenchEnConsole.java",
                   sed_out = dir / "sed.java";
    std::ofstream(source, std::ios::binary) << program(mb << 20);
    double ours = best_seconds([&] {
      if (!convert::convert_source(io, source.string(), out.string(), "Bench", "BenchEnConsole"))
        std::exit(1);
    });
    convert::ConvertOptions lenient;
    lenient.lenient = true;
    double tokens = best_seconds([&] {
      if (!convert::convert_source(io, source.string(), out.string(), "Bench", "BenchEnConsole",
                                   lenient))
        std::exit(1);
    });
    std::string command = sed + "'" + source.string() + "' > '" + sed_out.string() + "'";
    double theirs = best_seconds([&] {
      if (std::system(command.c_str()) != 0) std::exit(1);
    });
    std::printf("%8zu %10.1f %10.1f %12.1f %12.1f %10.1f %9.2fx\n", mb, ours * 1e3, ours * 1e3 / mb,
                tokens * 1e3, tokens * 1e3 / mb, theirs * 1e3, ours / theirs);
  }
  fs::remove_all(dir);
}
