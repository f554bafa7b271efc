// Program run: module start, the GUI application with its main window and
// message loop, the window's destruction, module end.
#include <QApplication>

#include "app/DatabasePath.h"
#include "app/MainForm.h"
#include "app/MainThreadWakeup.h"
#include "net/Http.h"
#include "platform/MainThread.h"

int main(int argc, char* argv[]) {
  velt::SetMainThread();
  velt::NetStartup();
  int exitCode = 0;
  {
    QApplication application(argc, argv);
    velt::ScopedMainThreadWakeup wakeup;
    {
      velt::TMainForm form(velt::IndexDatabasePath());
      form.show();
      exitCode = QApplication::exec();
    }  // the window's destruction stops the crawl and closes the database
  }
  velt::NetCleanup();
  return exitCode;
}
