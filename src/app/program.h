// The window program: the main window bound to the logic, its start-up and its end.
#ifndef VANTRY_APP_PROGRAM_H_
#define VANTRY_APP_PROGRAM_H_

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "app/event_pump.h"
#include "app/main_window.h"
#include "app/notice_fetch.h"
#include "app/widget_controls.h"
#include "platform/message_pump.h"
#include "scoring/parameters.h"
#include "scoring/program_state.h"

namespace vantry {

// The skin the program wears.
inline constexpr int kStartSkin = 13;
// The longest the notice may take at start-up, connection and transfer together.
inline constexpr std::chrono::milliseconds kNoticeLimit{3000};

class Program {
 public:
  struct Options {
    // The program folder: where the skin library, the exam files and the report live.
    std::filesystem::path directory;
    // The notice server as host or host:port; empty makes no request.
    std::string notice_host;
    // Ends the program; empty ends the process for real (tests record the code).
    WidgetControls::EndFunction end_process;
  };

  // Builds the window (not shown yet), binds its controls and installs the event pump
  // that long work calls. `state` is the program-wide state, owned by the entry.
  Program(ProgramState& state, Options options);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The window's created event, in this order: skin 13 (a library that cannot be loaded
  // shows the fatal-error box and ends the program with -1 before anything else runs),
  // the parameters file, then the notice (which may end the program). The window is
  // shown once it wears its skin, and it repaints and takes input while the notice is
  // fetched, for kNoticeLimit at most. A click on the grading button before this
  // returns is not lost: the run starts right after start-up, unless the notice ended
  // the program. False when the program was ended (seen only when `end_process`
  // returns).
  bool OnMainWindowCreated();

  // The window is gone: the program ends at once with exit code 0, also in the middle
  // of a grading run.
  void OnMainWindowDestroyed();

  MainWindow& window() { return window_; }
  WidgetControls& controls() { return controls_; }

 private:
  void OnGradeClicked();
  // Opens the tutorial; a box (提示信息) says so when it is missing or no application
  // can open it.
  void OnTutorialClicked();
  void ShowFatalError(const GbkText& text);

  ProgramState& state_;
  Options options_;
  // What start-up found of the parameters file, for the check before a run.
  ParametersLoad parameters_load_ = FailedRead(FileReadProblem::kMissing);
  MainWindow window_;
  WidgetControls controls_;
  ScopedMessagePump pump_;
  enum class Phase {
    kStarting,  // in OnMainWindowCreated
    kReady,     // the buttons are live
    kGrading,   // a run is going
  };

  // The notice request, kept until the program goes so that its thread ends first.
  std::unique_ptr<NoticeFetch> notice_fetch_;
  bool ended_ = false;
  Phase phase_ = Phase::kStarting;
  // The grading button was clicked during start-up.
  bool run_requested_ = false;
};

}  // namespace vantry

#endif  // VANTRY_APP_PROGRAM_H_
