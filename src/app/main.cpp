// The program entry: the instance guard and the log handler first, then
// either the refusal of a second instance or the main window and its
// message loop; released again in the opposite order.
#include <QApplication>
#include <QMessageBox>

#include "app/import_services.h"
#include "app/instance_guard.h"
#include "app/settings_store.h"
#include "import/expander.h"
#include "log/log_handler.h"
#include "shell/file_operation.h"
#include "shell/format_drive.h"
#include "shell/shell_notification.h"
#include "toolkit/qt_dialogs.h"
#include "toolkit/skin.h"
#include "ui/import_runner.h"
#include "ui/main_form.h"

namespace {

int RunWindow(ff::TLogHandler& log) {
  ff::QtDialogs dialogs(nullptr, "Fotoferry");
  const ff::SettingsStore settings(ff::SettingsStore::UserLocations(ff::ProgramKeyPath()));
  ff::TStFileOperation fileOperation;
  ff::ShellTransfer transfer(fileOperation);
  ff::TStFormatDrive formatDrive;
  ff::DialogFormatInteraction formatInteraction(dialogs);
  formatDrive.SetInteraction(&formatInteraction);
  ff::ShellDrives drives(formatDrive);
  ff::TStShellNotification notification;
  notification.SetNotifyEvents(
      {ff::TStNotifyEvents::neMediaInsert, ff::TStNotifyEvents::neMediaRemove});

  ff::MainFormServices services{
      dialogs,
      settings,
      ff::SystemEnvironment(),
      ff::SystemClock(),
      log,
      transfer,
      drives,
      [] { return ff::SampleFile(ff::SystemEnvironment()); },
      [&notification](bool on) { notification.SetActive(on); },
      [](const std::string& skin) {
        const std::string file = ff::FindSkin(skin, ff::ExeFileName());
        if (!file.empty()) ff::ApplySkin(file);
      }};
  ff::TMainForm form(services);
  dialogs.SetParent(&form);
  form.FormCreate();
  form.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Fotoferry");
  QApplication::setQuitOnLastWindowClosed(true);
  ff::InitInstanceGuard();
  int code = 0;
  {
    ff::LogStore store;
    store.keyPath = ff::ProgramKeyPath();
    ff::TLogHandler log(store);
    if (!ff::IsFirstInstance()) {
      QMessageBox::critical(nullptr, "Error",
                            "You can not run two instances of Fotoferry, use the one already "
                            "in the tray",
                            QMessageBox::Ok);
    } else {
      code = RunWindow(log);
    }
  }
  ff::DoneInstanceGuard();
  return code;
}
