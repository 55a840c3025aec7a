#include "cli/options.h"

#include <charconv>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/utf8_path.h"

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
    {"--quiet", &GradeOptions::quiet},
    {"--help", &GradeOptions::help},
    {"-h", &GradeOptions::help},
};

// The help's lines before the further outputs' options, and after them.
constexpr std::string_view kHelpHead =
    "Grades the answer sheet 学生答题文本.txt against 参数设置.txt, as the window's\n"
    "grading button does, and writes 阅卷结果yyyyMMdd.txt, the workbook\n"
    "阅卷结果yyyyMMdd.xlsx and the page 阅卷分析yyyyMMdd.html beside them; a workbook\n"
    "or page changed since it was written is kept and the new one numbered (…(2).xlsx).\n"
    "The summary names every file written.\n"
    "\n"
    "  --dir DIR       folder of the two files and the report (default: current folder)\n"
    "  --points TEXT   the 分值 box: points per matched keyword group (default 2;\n"
    "                  an empty text is an empty box, worth 0)\n"
    "  --order TEXT    the 先后顺序 box, e.g. 1-2,1-3 (default empty)\n"
    "  --jobs N        grade on N threads (default: one per core); the outputs are the\n"
    "                  same whatever N is\n"
    "  --quiet         no progress on stderr\n";
constexpr std::string_view kHelpTail =
    "  --help          this text\n"
    "\n"
    "Exit status: 0 done, 1 the report could not be written, 2 bad arguments (also a\n"
    "--check or --propose file that cannot be read: nothing is written then),\n"
    "3 nothing graded (the exam files cannot be graded as they are; the reason is on\n"
    "stderr and nothing is written), 4 the report was written but the workbook, the\n"
    "JSON record, the page or the proposed rules were not, or 教师评分.csv could not be\n"
    "used (the summary says which).\n";

// The help's column of options: the option and its value, then its help from this
// column on (from the next line when the option is wider).
constexpr size_t kHelpColumn = 18;

// The option `name` of a further output's entry; null when no entry has it.
const OutputOption* FindOutputOption(std::string_view name) {
  for (const FurtherOutput* output : kFurtherOutputs) {
    for (const OutputOption& option : output->options) {
      if (!option.name.empty() && option.name == name) return &option;
    }
  }
  return nullptr;
}

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
};

// Stores the file named by an output's option, relative to the working folder.
std::string StoreFile(const OutputOption& option, std::string_view value,
                      GradeOptions& options) {
  if (value.empty()) return std::string(option.name) + " " + std::string(option.missing);
  options.outputs.*(option.file) =
      std::filesystem::path(std::u8string(value.begin(), value.end()));
  return {};
}

}  // namespace

std::string GradeHelpText() {
  std::string help(kHelpHead);
  const std::string indent(kHelpColumn, ' ');
  for (const FurtherOutput* output : kFurtherOutputs) {
    for (const OutputOption& option : output->options) {
      if (option.name.empty()) continue;
      std::string head = "  " + std::string(option.name);
      if (!option.value.empty()) head += " " + std::string(option.value);
      help += head;
      if (head.size() < kHelpColumn) {
        help.append(kHelpColumn - head.size(), ' ');
      } else {
        help += "\n" + indent;
      }
      for (const char c : option.help) {
        help += c;
        if (c == '\n') help += indent;
      }
      help += "\n";
    }
  }
  help += kHelpTail;
  return help;
}

GradeArguments ParseGradeArguments(std::span<const std::string_view> args) {
  GradeOptions options;
  const auto wrong = [](std::string what) -> GradeArguments {
    return Failure{std::move(what)};
  };
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
    const Valued* valued = nullptr;
    for (const Valued& v : kValued) {
      if (v.name == name) valued = &v;
    }
    const OutputOption* output = FindOutputOption(name);
    if (flag == nullptr && valued == nullptr && output == nullptr) {
      return wrong((arg.starts_with("-") ? "unknown option " : "unexpected argument ") +
                   std::string(arg));
    }
    if (flag != nullptr || (output != nullptr && output->value.empty())) {
      if (value) return wrong(std::string(name) + " takes no value");
      if (flag != nullptr) {
        options.*(flag->member) = true;
      } else {
        options.outputs.*(output->toggle) = output->set_to;
      }
      continue;
    }
    if (!value) {
      if (i + 1 == args.size()) return wrong(std::string(name) + " needs a value");
      value = args[++i];
    }
    std::string error = valued != nullptr ? valued->store(options, *value)
                                          : StoreFile(*output, *value, options);
    if (!error.empty()) return wrong(std::move(error));
  }
  if (!options.outputs.propose_out.empty() && options.outputs.propose.empty())
    return wrong("--propose-out needs --propose");
  return options;
}

}  // namespace vantry
