#include "platform/arguments.h"

namespace platform {
namespace {

const OptionSpec* find_long(const std::vector<OptionSpec>& specs, const std::string& name) {
  for (const OptionSpec& spec : specs)
    if (spec.long_name == name) return &spec;
  return nullptr;
}

const OptionSpec* find_short(const std::vector<OptionSpec>& specs, char name) {
  for (const OptionSpec& spec : specs)
    if (spec.short_name != 0 && spec.short_name == name) return &spec;
  return nullptr;
}

}  // namespace

std::optional<Arguments> parse_arguments(const std::vector<std::string>& args,
                                         const std::vector<OptionSpec>& specs,
                                         std::string& problem) {
  Arguments parsed;
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      parsed.operands.push_back(arg);
    } else if (arg == "--") {
      options_ended = true;
    } else if (arg[1] == '-') {
      size_t equals = arg.find('=');
      std::string name =
          arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
      const OptionSpec* spec = find_long(specs, name);
      if (!spec) {
        problem = "unrecognized option '--" + name + "'";
        return std::nullopt;
      }
      if (!spec->takes_value) {
        if (equals != std::string::npos) {
          problem = "option '--" + name + "' doesn't allow an argument";
          return std::nullopt;
        }
        parsed.options[name] = "";
      } else if (equals != std::string::npos) {
        parsed.options[name] = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        parsed.options[name] = args[++i];
      } else {
        problem = "option '--" + name + "' requires an argument";
        return std::nullopt;
      }
    } else {
      for (size_t j = 1; j < arg.size(); ++j) {
        const OptionSpec* spec = find_short(specs, arg[j]);
        if (!spec) {
          problem = "invalid option -- '" + std::string(1, arg[j]) + "'";
          return std::nullopt;
        }
        if (!spec->takes_value) {
          parsed.options[spec->long_name] = "";
          continue;
        }
        if (j + 1 < arg.size()) {
          parsed.options[spec->long_name] = arg.substr(j + 1);
        } else if (i + 1 < args.size()) {
          parsed.options[spec->long_name] = args[++i];
        } else {
          problem = "option requires an argument -- '" + std::string(1, arg[j]) + "'";
          return std::nullopt;
        }
        break;
      }
    }
  }
  return parsed;
}

}  // namespace platform
