// Command-line arguments as the GNU conventions have them: short options
// (bundled flags allowed), long options with "=VALUE" or a separate value,
// "--" ending the options, "-" an operand.
#ifndef PLATFORM_ARGUMENTS_H
#define PLATFORM_ARGUMENTS_H

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct Option {
  char short_name;        // 0 when there is none
  std::string long_name;  // the key in Arguments::options
  bool takes_value = false;
};

struct Arguments {
  std::map<std::string, std::string> options;  // by long name; "" for flags
  std::vector<std::string> operands;

  bool has(const std::string& long_name) const { return options.count(long_name) != 0; }
};

// nullopt with the problem in `problem` ("unrecognized option '--x'") when
// the arguments do not fit the known options.
std::optional<Arguments> parse_arguments(const std::vector<std::string>& args,
                                         const std::vector<Option>& known, std::string& problem);

}  // namespace platform

#endif  // PLATFORM_ARGUMENTS_H
