#include "platform/arguments.h"

namespace platform {
namespace {

const Option* find_long(const std::vector<Option>& known, const std::string& name) {
  for (const Option& option : known)
    if (option.long_name == name) return &option;
  return nullptr;
}

const Option* find_short(const std::vector<Option>& known, char name) {
  for (const Option& option : known)
    if (option.short_name != 0 && option.short_name == name) return &option;
  return nullptr;
}

}  // namespace

std::optional<Arguments> parse_arguments(const std::vector<std::string>& args,
                                         const std::vector<Option>& known, std::string& problem) {
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
      const Option* option = find_long(known, name);
      if (!option) {
        problem = "unrecognized option '--" + name + "'";
        return std::nullopt;
      }
      if (!option->takes_value) {
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
        const Option* option = find_short(known, arg[j]);
        if (!option) {
          problem = "invalid option -- '" + std::string(1, arg[j]) + "'";
          return std::nullopt;
        }
        if (!option->takes_value) {
          parsed.options[option->long_name] = "";
          continue;
        }
        if (j + 1 < arg.size()) {
          parsed.options[option->long_name] = arg.substr(j + 1);
        } else if (i + 1 < args.size()) {
          parsed.options[option->long_name] = args[++i];
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
