#include "cli/options.h"

#include <charconv>
#include <functional>
#include <optional>

#include "text/utf8_path.h"

namespace vantry {
namespace {

// An option without a value: sets its flag.
struct Flag {
  std::string_view name;
  bool GradeOptions::*member;
};

// An option with a value: stores it, or says in a few words what is wrong with it.
struct Valued {
  std::string_view name;
  std::function<std::string(GradeOptions&, std::string_view)> store;
};

const Flag kFlags[] = {
    {"--quiet", &GradeOptions::quiet},     {"--no-xlsx", &GradeOptions::no_xlsx},
    {"--no-html", &GradeOptions::no_html}, {"--explain", &GradeOptions::explain},
    {"--help", &GradeOptions::help},       {"-h", &GradeOptions::help},
};

std::string StoreJobs(GradeOptions& options, std::string_view value) {
  int jobs = 0;
  const auto [end, error] =
      std::from_chars(value.data(), value.data() + value.size(), jobs);
  if (error != std::errc() || end != value.data() + value.size() || jobs < 1 ||
      jobs > 1024) {
    return "--jobs needs a whole number from 1 to 1024";
  }
  options.jobs = jobs;
  return {};
}

// An option whose value names a file, relative to the working folder.
Valued FileOption(std::string_view name, std::filesystem::path GradeOptions::*member,
                  std::string_view missing) {
  return {name, [member, missing](GradeOptions& o, std::string_view v) -> std::string {
            if (v.empty()) return std::string(missing);
            o.*member = std::filesystem::path(std::u8string(v.begin(), v.end()));
            return {};
          }};
}

const Valued kValued[] = {
    {"--dir",
     [](GradeOptions& o, std::string_view v) -> std::string {
       if (v.empty()) return "--dir needs a folder";
       o.directory = PathFromUtf8(v);
       return {};
     }},
    {"--points",
     [](GradeOptions& o, std::string_view v) {
       o.points = std::string(v);
       return std::string();
     }},
    {"--order",
     [](GradeOptions& o, std::string_view v) {
       o.order = std::string(v);
       return std::string();
     }},
    {"--jobs", StoreJobs},
    FileOption("--json", &GradeOptions::json, "--json needs a file"),
    FileOption("--check", &GradeOptions::check, "--check needs a CSV file"),
    FileOption("--propose", &GradeOptions::propose, "--propose needs a CSV file"),
    FileOption("--propose-out", &GradeOptions::propose_out, "--propose-out needs a file"),
};

}  // namespace

GradeArguments ParseGradeArguments(std::span<const std::string_view> args) {
  GradeArguments result;
  GradeOptions& options = result.options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    std::string_view name = arg;
    std::optional<std::string_view> value;
    if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != arg.npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    const Flag* flag = nullptr;
    for (const Flag& f : kFlags) {
      if (f.name == name) flag = &f;
    }
    if (flag != nullptr) {
      if (value) {
        result.error = std::string(name) + " takes no value";
        return result;
      }
      options.*(flag->member) = true;
      continue;
    }
    const Valued* valued = nullptr;
    for (const Valued& v : kValued) {
      if (v.name == name) valued = &v;
    }
    if (valued == nullptr) {
      result.error = (arg.starts_with("-") ? "unknown option " : "unexpected argument ") +
                     std::string(arg);
      return result;
    }
    if (!value) {
      if (i + 1 == args.size()) {
        result.error = std::string(name) + " needs a value";
        return result;
      }
      value = args[++i];
    }
    result.error = valued->store(options, *value);
    if (!result.error.empty()) return result;
  }
  if (!options.propose_out.empty() && options.propose.empty())
    result.error = "--propose-out needs --propose";
  return result;
}

}  // namespace vantry
