// The main window: folders, options and wildcards at the top, the template
// editor in the middle, the sample names and the view buttons at the bottom.
// Every handler is a thin method that hands the widgets' state to the
// engine or to one of the window's helpers.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "import/file_info.h"
#include "import/import_run.h"
#include "log/log_handler.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "toolkit/dialogs.h"
#include "ui/quick_selections.h"
#include "ui/template_editor.h"

namespace ff {

// What the window works with; everything must outlive it.
struct MainFormServices {
  Dialogs& dialogs;
  const SettingsStore& settings;
  const Environment& env;
  const Clock& clock;
  TLogHandler& log;
  FileTransfer& transfer;
  SourceDrives& drives;
  // The file the sample names are made for; throws like TFileInfo.
  std::function<TFileInfo()> sampleFile;
  // Switches media detection (the notification component) on or off.
  std::function<void(bool)> setMediaDetect = [](bool) {};
  // Loads the skin of a stored name when such a file exists; the look stays
  // as it is otherwise.
  std::function<void(const std::string&)> loadSkin = [](const std::string&) {};
};

inline constexpr const char* kMainCaption = "Fotoferry v2.0";
inline constexpr int kClientWidth = 742;
inline constexpr int kAdvancedClientHeight = 594;
inline constexpr int kPanelTopHeight = 171;
inline constexpr int kPanelMiddleHeight = 358;

class TMainForm : public QWidget {
 public:
  explicit TMainForm(MainFormServices services, QWidget* parent = nullptr);
  ~TMainForm() override;

  // Window state shared with the engine and the stores.
  std::string SourceFolder;
  std::string ImportRoot;
  std::string SkinFile;
  std::vector<std::string> MultiTargetMap;
  std::vector<NamedTemplate> QuickFolderList;
  std::vector<NamedTemplate> QuickFileList;

  // Handlers, as the widgets raise them.
  void FormCreate();
  bool FormCloseQuery();
  void FormClose();
  void btnAddValueClick(QObject* sender);
  bool lbFolderNameListBoxKeyDown(int key, Qt::KeyboardModifiers modifiers);
  bool lbFilenameListBoxKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void edtSearchPatternExit();
  void btnBrowseFromClick();
  void btnBrowseToClick();
  void btnStartClick();
  void cbQuickFoldersChange();
  void cbQuickFilesChange();
  void btnAddQuickFolderClick(QObject* sender);
  void btnModeClick();
  void ShowAdvancedMode();
  void ShowSimpleMode();
  void RefreshSamples();
  void LoadSettings();
  void SaveSettings();

  // Shows an error the way the event loop's general error report does.
  void ReportError(const std::string& message);
  // Runs a handler as the event loop does: an error it raises ends it and
  // is reported.
  void Safely(const std::function<void()>& handler);

  // The widgets, by their names.
  QWidget* PanelTop;
  QWidget* PanelMiddle;
  QWidget* PanelBottom;
  QLineEdit* edtFrom;
  QLineEdit* edtTo;
  QPushButton* btnMultiTarget;
  QCheckBox* chkRecurse;
  QCheckBox* chkMove;
  QCheckBox* chkFormat;
  QLineEdit* edtSearchPattern;
  QComboBox* cbQuickFolders;
  QComboBox* cbQuickFiles;
  QPushButton* btnStart;
  QPushButton* btnAbout;
  QToolButton* btnAddQuickFolder;
  QToolButton* btnRemoveQuickFile;
  QToolButton* btnRemoveQuickFolder;
  QToolButton* btnAddQuickFile;
  QListWidget* lbFolderName;
  QPushButton* btnFolderAddValue;
  QPushButton* btnFolderAddValueSpc;
  QPushButton* btnFolderAddValueBreak;
  QPushButton* btnFolderFreeText;
  QListWidget* lbVariables;
  QListWidget* lbFilename;
  QPushButton* btnFileAddValue;
  QPushButton* btnFileAddValueSpc;
  QPushButton* btnFileFreeText;
  QLineEdit* edtFolderSample;
  QPushButton* btnAdvanced;
  QPushButton* btnSimple;
  QLineEdit* edtFileSample;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildTopPanel();
  void BuildMiddlePanel();
  void BuildBottomPanel();
  void Wire();
  void SetClientHeight(int height);
  std::string SelectedVariable() const;
  bool Advanced() const;
  void ApplyView();

  MainFormServices services_;
  std::unique_ptr<TemplateEditor> folderEditor_;
  std::unique_ptr<TemplateEditor> fileEditor_;
  std::unique_ptr<QuickSelections> quickFolders_;
  std::unique_ptr<QuickSelections> quickFiles_;
  bool mediaDetect_ = false;
  bool autostart_ = false;
  bool closing_ = false;
  bool importing_ = false;
};

// The tag a widget carries for the handlers shared by several buttons.
int TagOf(const QObject* widget);

}  // namespace ff
