// The conversion at 1, 4 and 16 MB, as a user runs it: the consoleconv
// beside this program, default and --lenient, against sed making the same
// substitutions, run in turn nine times, the median taken; with the peak
// memory of each run, and what it grows by per byte of source above the
// program's own; and the Java analysis alone (the lexer, the structure
// pass), in MB/s.
// Usage: rewrite_bench [SCRATCH_DIR]
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <malloc.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "java/structure.h"

extern char** environ;

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

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Run {
  double seconds;
  long peak_kilobytes;
};

// Runs `argv` in `dir`, output to /dev/null; fails the benchmark if it fails.
Run run(const std::vector<std::string>& argv, const fs::path& dir, const std::string& out) {
  std::vector<char*> args;
  std::vector<std::string> words = argv;
  for (std::string& word : words) args.push_back(word.data());
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const fs::path home = fs::current_path();
  fs::current_path(dir);
  const double start = now();
  pid_t pid;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", args[0]);
    std::exit(1);
  }
  int status;
  rusage usage;
  wait4(pid, &status, 0, &usage);
  const double seconds = now() - start;
  fs::current_path(home);
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", args[0]);
    std::exit(1);
  }
  return {seconds, usage.ru_maxrss};
}

Run median(std::vector<Run> runs) {
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  return runs[runs.size() / 2];
}

double median_seconds(const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < 3; ++i) {
    const double start = now();
    work();
    times.push_back(now() - start);
  }
  std::sort(times.begin(), times.end());
  return times[1];
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "rewrite_bench";
  fs::create_directories(dir / "bin");
  fs::create_directories(dir / "out");
  // A javac that compiles nothing, and the library where it is looked for.
  std::ofstream(dir / "bin" / "javac") << "#!/bin/sh\nexit 0\n";
  fs::permissions(dir / "bin" / "javac", fs::perms::owner_all);
  for (const char* name : {"CanvasConsole", "Console", "ConsolePrinter", "ConsoleReader",
                           "FrameConsole", "CurseurCanvasConsole"})
    std::ofstream(dir / "out" / (std::string(name) + ".class"));
  setenv("PATH", (dir / "bin").string().append(":").append(std::getenv("PATH")).c_str(), 1);
  const std::string converter =
      (fs::canonical("/proc/self/exe").parent_path() / "consoleconv").string();

  // The program's own memory: a conversion of next to nothing.
  std::ofstream(dir / "Bench.java", std::ios::binary) << program(0);
  const long own = median({run({converter, "Bench", "out"}, dir, "/dev/null"),
                           run({converter, "Bench", "out"}, dir, "/dev/null"),
                           run({converter, "Bench", "out"}, dir, "/dev/null")})
                       .peak_kilobytes;
  std::printf("the converter's own peak memory: %.1f MB\n\n", own / 1024.0);
  std::printf("%7s | %10s %7s %8s %6s | %10s %7s %8s %6s | %7s\n", "size MB", "default ms",
              "vs sed", "peak MB", "B/B", "lenient ms", "vs sed", "peak MB", "B/B", "sed ms");
  for (size_t mb : {1, 4, 16}) {
    double size;
    {
      const std::string text = program(mb << 20);
      std::ofstream(dir / "Bench.java", std::ios::binary) << text;
      size = static_cast<double>(text.size());
    }
    // A child's peak memory counts this process's until it execs: bring
    // ours down and forget our peak, so that only the child's shows.
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    // In turn, so that all three meet the machine in the same moods.
    std::vector<Run> plain, lenient, sed;
    for (int round = 0; round < 9; ++round) {
      plain.push_back(run({converter, "Bench", "out"}, dir, "/dev/null"));
      lenient.push_back(run({converter, "--lenient", "Bench", "out"}, dir, "/dev/null"));
      sed.push_back(run({"sed", "-e", "s/  *\\r$/\\r/", "-e", "s/ throws IOException//g", "-e",
                         "s/System\\.out/Console.out/g", "-e",
                         "s/flux\\.readLine/Console.in.readLine/g", "Bench.java"},
                        dir, (dir / "sed.out").string()));
    }
    const Run p = median(plain), l = median(lenient), s = median(sed);
    auto per_byte = [&](const Run& r) { return (r.peak_kilobytes - own) * 1024.0 / size; };
    std::printf("%7zu | %10.1f %6.2fx %8.1f %6.2f | %10.1f %6.2fx %8.1f %6.2f | %7.1f\n", mb,
                p.seconds * 1e3, p.seconds / s.seconds, p.peak_kilobytes / 1024.0, per_byte(p),
                l.seconds * 1e3, l.seconds / s.seconds, l.peak_kilobytes / 1024.0, per_byte(l),
                s.seconds * 1e3);
  }

  const std::string text = program(16 << 20);
  const double mb = text.size() / 1048576.0;
  const double lexing = median_seconds([&] { java::Source source(text); });
  const java::Source source(text);
  const double structure = median_seconds([&] { java::analyse_structure(source); });
  std::printf(
      "\nJava analysis of 16 MB: lexer %.0f MB/s, structure pass %.0f MB/s, both %.0f MB/s\n",
      mb / lexing, mb / structure, mb / (lexing + structure));
  fs::remove_all(dir);
}
