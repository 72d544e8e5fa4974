#include "convert/trace.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>

namespace convert {

namespace {

// The decimal digits of `number` and a separator, at `at`; past them.
// Written from the last digit back, two at a time: a big source prints a
// million of these lines.
char* put(char* at, size_t number, char separator) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  // The digits, from the number's bits: log10(2) is about 1233 / 4096.
  static constexpr std::array<uint64_t, 20> kPowers = [] {
    std::array<uint64_t, 20> powers{};
    uint64_t power = 1;
    for (uint64_t& p : powers) {
      p = power;
      power *= 10;  // past 10^19 it wraps, unused
    }
    return powers;
  }();
  const int bits = 64 - __builtin_clzll(static_cast<uint64_t>(number) | 1);
  const size_t estimate = static_cast<size_t>((bits * 1233) >> 12);
  size_t digits = estimate - (number < kPowers[estimate]) + 1;
  if (digits == 0) digits = 1;
  char* end = at + digits;
  char* d = end;
  while (number >= 100) {
    const size_t pair = (number % 100) * 2;
    number /= 100;
    *--d = kPairs[pair + 1];
    *--d = kPairs[pair];
  }
  if (number >= 10) {
    *--d = kPairs[number * 2 + 1];
    *--d = kPairs[number * 2];
  } else {
    *--d = static_cast<char>('0' + number);
  }
  *end = separator;
  return end + 1;
}

}  // namespace

void TraceWriter::line(size_t length, size_t position, size_t removed, size_t inserted) {
  if (used_ + kLongestLine > sizeof buffer_) flush();
  char* at = buffer_ + used_;
  at = put(at, length, ' ');
  at = put(at, position, ' ');
  at = put(at, removed, ' ');
  at = put(at, inserted, '\n');
  used_ = static_cast<size_t>(at - buffer_);
}

void TraceWriter::flush() {
  if (used_ == 0) return;
  out_.write(buffer_, static_cast<std::streamsize>(used_));
  used_ = 0;
}

}  // namespace convert
