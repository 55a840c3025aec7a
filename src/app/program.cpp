#include "app/program.h"

#include <QCoreApplication>
#include <QTimer>

#include "app/apply_notice.h"
#include "app/end_process.h"
#include "app/message_box.h"
#include "app/qt_text.h"
#include "app/skin_attach.h"
#include "app/tutorial.h"
#include "controls/control_names.h"
#include "export/run_outputs.h"
#include "grading/grading_run.h"
#include "net/notice.h"
#include "scoring/parameters.h"
#include "text/gbk_codec.h"

namespace vantry {

Program::Program(ProgramState& state, Options options)
    : state_(state),
      options_(std::move(options)),
      controls_(window_,
                [this](int exit_code) {
                  ended_ = true;
                  if (options_.end_process) {
                    options_.end_process(exit_code);
                  } else {
                    EndProcessNow(exit_code);
                  }
                }),
      pump_(ThrottledEventPump([this] { controls_.Flush(); })) {
  window_.SetHandlers({
      .on_destroyed = [this] { OnMainWindowDestroyed(); },
      .on_grade_clicked = [this] { OnGradeClicked(); },
      .on_tutorial_clicked = [this] { OnTutorialClicked(); },
  });
}

bool Program::OnMainWindowCreated() {
  if (const Status attached = AttachSkin(kStartSkin, options_.directory);
      !attached.ok()) {
    ShowFatalError(Utf8ToGbk(attached.message()));
    controls_.EndProcess(-1);
    return false;
  }
  parameters_load_ = LoadParameters(state_, options_.directory);
  window_.PlaceOnScreen();
  window_.show();
  // Paint the dressed window before the notice request, which may take a while. User
  // input is handled as it comes (a grading click waits for the end of start-up, see
  // OnGradeClicked), not held back: input held back by Qt is only delivered when
  // another event wakes the event loop, so a click could sit unseen.
  QCoreApplication::processEvents();
  if (ended_) return false;
  Notice notice;
  if (!options_.notice_host.empty()) {
    // The window keeps painting and taking input while the notice is on its way, and
    // waits for it kNoticeLimit at most.
    notice_fetch_ = std::make_unique<NoticeFetch>(options_.notice_host, kNoticeLimit);
    notice = notice_fetch_->Wait();
    if (ended_) return false;
  }
  ApplyNotice(notice, controls_);
  if (ended_) return false;
  phase_ = Phase::kReady;
  if (run_requested_) {
    // The click that came during start-up starts the run, from the event loop.
    run_requested_ = false;
    QTimer::singleShot(0, &window_, [this] { OnGradeClicked(); });
  }
  return true;
}

void Program::OnMainWindowDestroyed() { controls_.EndProcess(0); }

void Program::OnGradeClicked() {
  switch (phase_) {
    case Phase::kStarting:
      // The notice may still end the program: the run starts once start-up is over.
      run_requested_ = true;
      return;
    case Phase::kGrading:
      // The run pumps events, so the button can be clicked again inside it: ignore
      // that.
      return;
    case Phase::kReady:
      break;
  }
  phase_ = Phase::kGrading;
  GradingOptions options;
  options.directory = options_.directory;
  options.parameters_load = parameters_load_;
  RunOutputOptions outputs;
  outputs.directory = options_.directory;
  options.extra_outputs = MakeRunOutputs(state_, std::move(outputs));
  RunGrading(state_, controls_, options);
  phase_ = Phase::kReady;
}

void Program::OnTutorialClicked() {
  OpenTutorial(options_.directory, window_, [this](const QString& problem) {
    ShowMessageBox(&window_, Utf8ToQString(controls::kSummaryCaption), problem);
  });
}

void Program::ShowFatalError(const GbkText& text) {
  ShowMessageBox(nullptr, QStringLiteral("错误"), GbkToDisplayText(text),
                 QMessageBox::Critical);
}

}  // namespace vantry
