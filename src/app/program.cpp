#include "app/program.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "app/controls/control_names.h"
#include "app/end_process.h"
#include "app/message_box.h"
#include "app/qt_text.h"
#include "app/skin_attach.h"
#include "app/tutorial.h"
#include "grading/grading_run.h"
#include "net/notice.h"
#include "scoring/parameters.h"

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
  if (const auto fatal = AttachSkin(kStartSkin, options_.directory)) {
    ShowFatalError(*fatal);
    controls_.EndProcess(-1);
    return false;
  }
  LoadParameters(state_, options_.directory);
  window_.PlaceOnScreen();
  window_.show();
  // Paint the dressed window before the notice request, which may take a while; user
  // input stays queued until start-up is over.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  FetchNotice(controls_, options_.notice_host);
  return !ended_;
}

void Program::OnMainWindowDestroyed() { controls_.EndProcess(0); }

void Program::OnGradeClicked() {
  // The run pumps events, so the button can be clicked again inside it: ignore that.
  if (grading_) return;
  grading_ = true;
  GradingOptions options;
  options.directory = options_.directory;
  RunGrading(state_, controls_, options);
  grading_ = false;
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
