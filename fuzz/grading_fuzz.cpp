// One grading run over in-memory controls on fuzzed exam files: the answer sheet and
// the parameters file as written, the two scoring boxes as typed.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "controls/control_names.h"
#include "controls/in_memory_controls.h"
#include "fuzz_check.h"
#include "grading/answer_sheet.h"
#include "grading/grading_run.h"
#include "grading/report.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "scoring/parameters.h"
#include "text/gbk_codec.h"
#include "text/numbers.h"

namespace {

using vantry::fuzz::Check;

namespace fs = std::filesystem;

// The folder scripts/fuzz made for this run (on tmpfs where there is one, so the
// report's flush to disk costs nothing), or one of the fuzzer's own.
class WorkFolder {
 public:
  WorkFolder() {
    const char* given = std::getenv("VANTRY_FUZZ_WORK");
    const fs::path base = given != nullptr         ? fs::path(given)
                          : fs::exists("/dev/shm") ? fs::path("/dev/shm")
                                                   : fs::temp_directory_path();
    path_ = base / ("vantry-grading-fuzz-" + std::to_string(getpid()));
    fs::create_directories(path_);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& dir, std::string_view name, const std::string& bytes) {
  Check(vantry::WriteWholeFile(vantry::PathInDirectory(dir, name), {bytes}).ok(),
        "setup write");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const vantry::GbkText points(input.ConsumeRandomLengthString(6));
  const vantry::GbkText order(input.ConsumeRandomLengthString(16));
  const std::string parameters = input.ConsumeRandomLengthString(2048);
  const std::string sheet = input.ConsumeRemainingBytesAsString();

  static const WorkFolder folder;
  const fs::path& dir = folder.path();
  WriteFile(dir, vantry::kParametersFileName, parameters);
  WriteFile(dir, vantry::kAnswerSheetFileName, sheet);

  vantry::ProgramState state;
  const vantry::ParametersLoad load = vantry::LoadParameters(state, dir);
  vantry::InMemoryControls controls;
  controls.SetControlText(vantry::controls::kPointsPerHit, points);
  controls.SetControlText(vantry::controls::kOrderKeys, order);
  controls.set_recording(true);

  vantry::FixedClock clock;
  vantry::GradingOptions options;
  options.directory = dir;
  options.pause_ms = 0;
  options.clock = &clock;
  options.parameters_load = load;
  const fs::path report =
      vantry::PathInDirectory(dir, vantry::GbkToUtf8(vantry::ReportFileName(clock)));
  fs::remove(report);
  const vantry::RunOutcome outcome = vantry::RunGrading(state, controls, options);

  // An exam that cannot be graded is said in one box; nothing is shown or written and
  // the program goes on.
  if (!outcome.checked.ok()) {
    Check(controls.message_boxes().size() == 1 &&
              controls.message_boxes()[0].caption == vantry::Utf8ToGbk("提示信息"),
          "one box says why");
    Check(controls.events().empty(), "nothing shown");
    Check(!controls.exit_code().has_value(), "the program goes on");
    Check(!fs::exists(report), "nothing written");
    return 0;
  }
  // Otherwise the run ends with its summary box and exit code 0, and writes the report.
  Check(controls.exit_code() == 0, "exit code 0");
  Check(controls.message_boxes().size() == 1 &&
            controls.message_boxes()[0].caption == vantry::Utf8ToGbk("提示信息"),
        "one summary box");
  Check(outcome.report.written.ok() && vantry::PathExists(outcome.report.path),
        "report written");
  const vantry::LoadedAnswerSheet sheet_read(vantry::ReadAnswerSheetText(dir));
  Check(outcome.paper_count == static_cast<int64_t>(sheet_read.names().size()),
        "one paper per name");

  // Every question's shown score respects its cap, and the score label shows the sum.
  const vantry::GbkText score_prefix = vantry::Utf8ToGbk("第 ");
  const vantry::GbkText score_middle = vantry::Utf8ToGbk(" 题得分：");
  int64_t total = 0;
  for (const auto& event : controls.events()) {
    if (event.kind == "set" && event.name == vantry::controls::kStudentName) total = 0;
    if (event.kind == "append" && event.name == vantry::controls::kMatchedPoints) {
      Check(event.text.starts_with(score_prefix), "score line starts with its number");
      const int question = vantry::TextToInteger(event.text.substr(score_prefix.size()));
      const size_t middle = event.text.find(score_middle);
      Check(middle != vantry::GbkText::npos, "score line layout");
      const int score =
          vantry::TextToInteger(event.text.substr(middle + score_middle.size()));
      if (const auto cap = state.Cap(question)) {
        Check(score <= *cap, "a question's score never exceeds its cap");
      }
      total += score;
    }
    if (event.kind == "set" && event.name == vantry::controls::kScore &&
        !event.text.empty()) {
      Check(vantry::TextToInteger64(event.text) == total || total > INT32_MAX ||
                total < INT32_MIN,
            "the score label shows the running total");
    }
  }
  return 0;
}
