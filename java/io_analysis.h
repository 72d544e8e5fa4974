// Which methods and try blocks can still throw an IOException once a
// conversion has taken keyboard readers to the console library (whose
// reads throw none): what decides which throws clauses and catches go.
//
// Judged from names: the file's own methods and their throws clauses, the
// class library's I/O methods and constructors, Files, throw statements.
#ifndef JAVA_IO_ANALYSIS_H
#define JAVA_IO_ANALYSIS_H

#include <string_view>
#include <vector>

#include "java/structure.h"

namespace java {

struct IoOptions {
  // The readers whose reads go to the console library.
  std::vector<std::string_view> converted_readers;
  // Those readers themselves are gone, a try resource included (whose
  // closing could throw).
  bool readers_removed = true;
  // Every "throws IOException" is gone (the default conversion).
  bool io_throws_removed = false;
  // Every NAME.readLine() of those readers goes to the console, as the
  // default conversion's byte patterns take them, not only the reads of
  // the reader itself (a parameter of that name in another method keeps
  // its own).
  bool reads_by_name = false;
};

struct IoAnalysis {
  // Per method: its body can still throw an IOException.
  std::vector<bool> method_body_throws;
  // Per try statement: its block (and resources) can still throw one.
  std::vector<bool> try_body_throws;
};

IoAnalysis analyse_io(const Program& program, const IoOptions& options);

}  // namespace java

#endif  // JAVA_IO_ANALYSIS_H
