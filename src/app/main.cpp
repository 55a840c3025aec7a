// The window program's entry: program-wide state, the window, its created event, then
// the message loop until the program ends.
#include <QApplication>
#include <QTranslator>
#include <string>

#include "app/artwork.h"
#include "app/program.h"
#include "app/qt_translations.h"
#include "platform/file_io.h"
#include "scoring/program_state.h"

#ifndef VANTRY_FIXED_NOTICE_HOST
#include "net/notice_host.h"
#endif

namespace {

std::string NoticeHost() {
#ifdef VANTRY_FIXED_NOTICE_HOST
  return VANTRY_FIXED_NOTICE_HOST;
#else
  return std::string(vantry::BuiltInNoticeHost());
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
  // Program-wide: lives until the process ends, which releases it.
  vantry::ProgramState state;
  QApplication application(argc, argv);
  QTranslator qt_chinese;
  if (vantry::LoadQtChineseTranslations(qt_chinese))
    application.installTranslator(&qt_chinese);
  application.setWindowIcon(vantry::ProgramIcon());
  vantry::Program program(state, {vantry::RunDirectory(), NoticeHost(), {}});
  program.OnMainWindowCreated();
  return application.exec();
}
