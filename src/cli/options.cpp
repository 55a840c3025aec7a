#include "cli/options.h"

#include <optional>

#include "text/utf8_path.h"

namespace vantry {

GradeArguments ParseGradeArguments(std::span<const std::string_view> args) {
  GradeArguments result;
  GradeOptions& options = result.options;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (arg == "--quiet") {
      options.quiet = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    std::string_view name = arg;
    std::optional<std::string_view> value;
    if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != arg.npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    if (name != "--dir" && name != "--points" && name != "--order") {
      if (value && (name == "--quiet" || name == "--help")) {
        result.error = std::string(name) + " takes no value";
      } else if (arg.starts_with("-")) {
        result.error = "unknown option " + std::string(arg);
      } else {
        result.error = "unexpected argument " + std::string(arg);
      }
      return result;
    }
    if (!value) {
      if (i + 1 == args.size()) {
        result.error = std::string(name) + " needs a value";
        return result;
      }
      value = args[++i];
    }
    if (name == "--dir") {
      if (value->empty()) {
        result.error = "--dir needs a folder";
        return result;
      }
      options.directory = PathFromUtf8(*value);
    } else if (name == "--points") {
      options.points = std::string(*value);
    } else {
      options.order = std::string(*value);
    }
  }
  return result;
}

}  // namespace vantry
