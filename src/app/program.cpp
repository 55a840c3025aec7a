#include "app/program.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>

#include "app/apply_notice.h"
#include "app/end_process.h"
#include "app/qt_text.h"
#include "app/skin_attach.h"
#include "app/tutorial.h"
#include "export/run_outputs.h"
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
      .on_tutorial_clicked = [this] { OpenTutorial(options_.directory); },
  });
}

bool Program::OnMainWindowCreated() {
  if (const auto fatal = AttachSkin(kStartSkin, options_.directory)) {
    ShowFatalError(*fatal);
    controls_.EndProcess(-1);
    return false;
  }
  parameters_load_ = LoadParameters(state_, options_.directory);
  window_.PlaceOnScreen();
  window_.show();
  // Paint the dressed window before the notice request, which may take a while; user
  // input stays queued until start-up is over.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  ApplyNotice(FetchNotice(options_.notice_host), controls_);
  return !ended_;
}

void Program::OnMainWindowDestroyed() { controls_.EndProcess(0); }

void Program::OnGradeClicked() {
  // The run pumps events, so the button can be clicked again inside it: ignore that.
  if (grading_) return;
  grading_ = true;
  GradingOptions options;
  options.directory = options_.directory;
  options.parameters_load = parameters_load_;
  RunOutputOptions outputs;
  outputs.directory = options_.directory;
  options.extra_outputs = MakeRunOutputs(state_, std::move(outputs));
  RunGrading(state_, controls_, options);
  grading_ = false;
}

void Program::ShowFatalError(const GbkText& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), GbkToDisplayText(text),
                  QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace vantry
