// The converter's entry point: the Qt application object, then start-up,
// which runs the whole program.
#include <QApplication>
#include <clocale>
#include <exception>
#include <string>
#include <vector>

#include "app/converter.h"
#include "app/desktop/desktop_services.h"
#include "platform/log.h"
#include "platform/termination.h"

int main(int argc, char** argv) {
  // Before Qt starts its threads, so that only the waiting thread takes the signals.
  platform::CleanUpOnTerminationSignals(RemoveExportTempFolders);
  QApplication application(argc, argv);
  // Qt takes the process locale from the environment; numbers are always read
  // and written in the classic format.
  std::setlocale(LC_NUMERIC, "C");
  try {
    return RunConverter(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    // Caught so the run unwinds and leaves nothing of the company's behind.
    WriteLog(std::string("Programmet avbröts: ") + e.what());
    return 1;
  }
}
