#include "ui/main_form.h"

#include <QApplication>
#include <QKeyEvent>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/import_services.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/registry.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "toolkit/dialogs.h"

namespace ff {
namespace {

using test::UtcInstant;

constexpr const char* kKey = "Software\\Tallmark\\Fotoferry";

class NoDrives : public SourceDrives {
 public:
  std::string DriveOf(const std::string&) override { return "/"; }
  std::string DriveTypeName(const std::string&) override { return "Fixed"; }
  bool Format(const std::string&) override { return false; }
};

class MainFormTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }

  MainFormTest()
      : clock_(UtcInstant(2008, 5, 7, 15, 4, 5)),
        log_(clock_, env_),
        store_({dir_ / "config", dir_ / "config/fotoferry.ini", "", dir_ / "autostart", kKey}) {
    setenv("XDG_PICTURES_DIR", (dir_ / "Pictures").c_str(), 1);
    log_.LogPath = dir_ / "log";
  }
  ~MainFormTest() override { unsetenv("XDG_PICTURES_DIR"); }

  std::unique_ptr<TMainForm> NewForm() {
    MainFormServices services{dialogs_, store_, env_, clock_, log_, transfer_, drives_, [this] {
                                return TFileInfo("/opt/fotoferry/Fotoferry.exe",
                                                 UtcInstant(2008, 5, 7, 9, 5, 3), env_);
                              }};
    auto form = std::make_unique<TMainForm>(services);
    form->FormCreate();
    return form;
  }

  TMainForm& Form() {
    if (!form_) form_ = NewForm();
    return *form_;
  }

  static std::vector<std::string> Items(QListWidget* list) {
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) items.push_back(list->item(i)->text().toStdString());
    return items;
  }

  void SelectVariable(const std::string& name) {
    auto found = Form().lbVariables->findItems(QString::fromStdString(name), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    Form().lbVariables->setCurrentItem(found[0]);
  }

  void WriteIni(const std::string& text) { test::WriteFile(dir_ / "config/fotoferry.ini", text); }

  test::TempDir dir_;
  test::FakeEnvironment env_;
  test::FakeClock clock_;
  TLogHandler log_;
  SettingsStore store_;
  ScriptedDialogs dialogs_;
  TStFileOperation operation_;
  ShellTransfer transfer_{operation_};
  NoDrives drives_;
  std::unique_ptr<TMainForm> form_;
};

using Texts = std::vector<std::string>;

TEST_F(MainFormTest, FirstRunShowsTheDesignStateAndThePicturesFolder) {
  TMainForm& form = Form();
  EXPECT_EQ(form.windowTitle(), "Fotoferry v2.0");
  EXPECT_EQ(form.ImportRoot, dir_ / "Pictures");
  EXPECT_EQ(form.edtTo->text().toStdString(), dir_ / "Pictures");
  EXPECT_TRUE(form.chkRecurse->isChecked());
  EXPECT_FALSE(form.chkMove->isChecked());
  EXPECT_EQ(form.edtSearchPattern->text(), "*.crw;*.thm;*.cr2;*.jpg;*.nef;*.pef;*.raf;*.orf");
  EXPECT_EQ(form.MultiTargetMap.size(), 8u);
  EXPECT_EQ(form.MultiTargetMap[3], "*.jpg=" + dir_ / "Pictures");
  EXPECT_EQ(form.cbQuickFolders->count(), 1);
  EXPECT_EQ(form.cbQuickFolders->currentText(), "Userdefined");
  EXPECT_TRUE(form.btnAddQuickFolder->isEnabled());
  EXPECT_FALSE(form.btnRemoveQuickFolder->isEnabled());
  EXPECT_EQ(form.lbVariables->count(), 24);
  EXPECT_EQ(form.edtFolderSample->text().toStdString(), dir_ / "Pictures/");
  EXPECT_EQ(form.height(), 594);
  // The key was created.
  EXPECT_TRUE(Registry(RootKey::CurrentUser, dir_ / "config").KeyExists(kKey));
}

TEST_F(MainFormTest, AddButtonsBuildTheTemplateFromTheSelectionOnwards) {
  TMainForm& form = Form();
  SelectVariable("File.CreationYear");
  form.btnAddValueClick(form.btnFolderAddValue);
  EXPECT_EQ(Items(form.lbFolderName), (Texts{"{File.CreationYear}"}));
  EXPECT_EQ(form.lbFolderName->currentRow(), 0);
  SelectVariable("File.CreationMonth");
  form.btnAddValueClick(form.btnFolderAddValueSpc);
  form.btnAddValueClick(form.btnFolderAddValueBreak);
  EXPECT_EQ(Items(form.lbFolderName),
            (Texts{"{File.CreationYear}", "{File.CreationMonth}{Spc}", "{File.CreationMonth}\\"}));
  // With the second of three selected, the new item becomes the third.
  form.lbFolderName->setCurrentRow(1);
  SelectVariable("File.CreationDay");
  form.btnAddValueClick(form.btnFolderAddValue);
  EXPECT_EQ(Items(form.lbFolderName)[2], "{File.CreationDay}");
  EXPECT_EQ(form.lbFolderName->currentRow(), 2);
  EXPECT_EQ(
      form.QuickFolderList[0].stored,
      "{File.CreationYear};{File.CreationMonth}{Spc};{File.CreationDay};{File.CreationMonth}\\");
  EXPECT_EQ(form.edtFolderSample->text().toStdString(), dir_ / "Pictures/200805 0705/");
}

TEST_F(MainFormTest, CounterIsRefusedForFoldersOnly) {
  TMainForm& form = Form();
  SelectVariable("Incremental.Counter");
  dialogs_.messageAnswers = {MessageResult::kOk};
  const QString sample = form.edtFolderSample->text();
  form.btnAddValueClick(form.btnFolderAddValueBreak);
  EXPECT_EQ(dialogs_.Messages(), (Texts{"Counter not allowed for folders"}));
  EXPECT_EQ(dialogs_.asked.back().caption, "error");
  EXPECT_EQ(form.lbFolderName->count(), 0);
  EXPECT_EQ(form.edtFolderSample->text(), sample);
  form.btnAddValueClick(form.btnFileAddValue);
  EXPECT_EQ(Items(form.lbFilename), (Texts{"{Incremental.Counter}"}));
  EXPECT_EQ(form.edtFileSample->text(), "-0001.raw");
  // Without a selected variable nothing is added.
  form.lbVariables->setCurrentRow(-1);
  form.btnAddValueClick(form.btnFileAddValue);
  EXPECT_EQ(form.lbFilename->count(), 1);
}

TEST_F(MainFormTest, FreetextAndKeysEditTheList) {
  TMainForm& form = Form();
  dialogs_.inputAnswers = {"a", "b", "c", kInputCancel};
  form.btnAddValueClick(form.btnFileFreeText);
  form.btnAddValueClick(form.btnFileFreeText);
  form.btnAddValueClick(form.btnFileFreeText);
  EXPECT_EQ(dialogs_.asked[0].text, "Enter freetext to your filename here");
  EXPECT_EQ(dialogs_.asked[0].caption, "Add freetext");
  EXPECT_EQ(Items(form.lbFilename), (Texts{"a", "b", "c"}));
  // Ctrl+Up moves the item with its selection; at the top nothing happens.
  EXPECT_TRUE(form.lbFilenameListBoxKeyDown(Qt::Key_Up, Qt::ControlModifier));
  EXPECT_EQ(Items(form.lbFilename), (Texts{"a", "c", "b"}));
  EXPECT_EQ(form.lbFilename->currentRow(), 1);
  form.lbFilenameListBoxKeyDown(Qt::Key_Up, Qt::ControlModifier);
  form.lbFilenameListBoxKeyDown(Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Items(form.lbFilename), (Texts{"c", "a", "b"}));
  // The modifier test is exact, and plain arrows are the list's own.
  EXPECT_FALSE(
      form.lbFilenameListBoxKeyDown(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier));
  EXPECT_FALSE(form.lbFilenameListBoxKeyDown(Qt::Key_Down, Qt::NoModifier));
  EXPECT_EQ(Items(form.lbFilename), (Texts{"c", "a", "b"}));
  // Insert asks; a cancelled box inserts nothing.
  form.lbFilenameListBoxKeyDown(Qt::Key_Insert, Qt::NoModifier);
  EXPECT_EQ(form.lbFilename->count(), 3);
  // Delete selects what follows; on the last item, the new last one.
  form.lbFilename->setCurrentRow(2);
  form.lbFilenameListBoxKeyDown(Qt::Key_Delete, Qt::NoModifier);
  EXPECT_EQ(Items(form.lbFilename), (Texts{"c", "a"}));
  EXPECT_EQ(form.lbFilename->currentRow(), 1);
  form.lbFilenameListBoxKeyDown(Qt::Key_Delete, Qt::NoModifier);
  form.lbFilenameListBoxKeyDown(Qt::Key_Delete, Qt::NoModifier);
  EXPECT_EQ(form.lbFilename->count(), 0);
  EXPECT_EQ(form.QuickFileList[0].name, "Userdefined");
  EXPECT_EQ(form.QuickFileList[0].stored, "");
  // A key on a list without selection first selects the last item.
  dialogs_.inputAnswers = {"x", "y"};
  form.lbFilenameListBoxKeyDown(Qt::Key_Insert, Qt::NoModifier);
  form.lbFilenameListBoxKeyDown(Qt::Key_Insert, Qt::NoModifier);
  form.lbFilename->setCurrentRow(-1);
  form.lbFilenameListBoxKeyDown(Qt::Key_Delete, Qt::NoModifier);
  EXPECT_EQ(Items(form.lbFilename), (Texts{"x"}));
}

TEST_F(MainFormTest, KeysReachTheHandlerThroughTheList) {
  TMainForm& form = Form();
  dialogs_.inputAnswers = {"a", "b"};
  form.btnAddValueClick(form.btnFolderFreeText);
  form.btnAddValueClick(form.btnFolderFreeText);
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier);
  QApplication::sendEvent(form.lbFolderName, &up);
  EXPECT_EQ(Items(form.lbFolderName), (Texts{"b", "a"}));
  EXPECT_EQ(form.lbFolderName->currentRow(), 0);
}

TEST_F(MainFormTest, QuickSelectionsChooseAddAndRemove) {
  WriteIni(
      "[QuickFolders]\r\nYear\\Month={File.CreationYear}\\;{File.CreationMonth}\r\n"
      "Day={File.CreationDay}\r\n[QuickFiles]\r\nUserdefined=x\r\n");
  TMainForm& form = Form();
  EXPECT_EQ(form.cbQuickFolders->count(), 3);
  EXPECT_EQ(form.cbQuickFolders->itemText(0), "Userdefined");
  EXPECT_EQ(Items(form.lbFilename), (Texts{"x"}));
  // Choosing an entry puts its template in the list.
  form.cbQuickFolders->setCurrentIndex(1);
  EXPECT_EQ(Items(form.lbFolderName), (Texts{"{File.CreationYear}\\", "{File.CreationMonth}"}));
  EXPECT_FALSE(form.btnAddQuickFolder->isEnabled());
  EXPECT_TRUE(form.btnRemoveQuickFolder->isEnabled());
  // A hand edit turns the box to "Userdefined", which holds the edit.
  SelectVariable("File.CreationDay");
  form.btnAddValueClick(form.btnFolderAddValue);
  EXPECT_EQ(form.cbQuickFolders->currentIndex(), 0);
  EXPECT_EQ(Items(form.lbFolderName),
            (Texts{"{File.CreationYear}\\", "{File.CreationMonth}", "{File.CreationDay}"}));
  EXPECT_EQ(form.lbFolderName->currentRow(), -1);
  EXPECT_EQ(form.QuickFolderList[0].stored,
            "{File.CreationYear}\\;{File.CreationMonth};{File.CreationDay}");
  // Adding stores the template under a new name; the box keeps "Userdefined".
  dialogs_.inputAnswers = {"Portrait"};
  form.btnAddQuickFolderClick(form.btnAddQuickFolder);
  EXPECT_EQ(dialogs_.asked.back().caption, "Foldername Quickselect");
  EXPECT_EQ(form.cbQuickFolders->count(), 4);
  EXPECT_EQ(form.cbQuickFolders->currentIndex(), 0);
  EXPECT_EQ(IniFile(dir_ / "config/fotoferry.ini").ReadString("QuickFolders", "Portrait"),
            "{File.CreationYear}\\;{File.CreationMonth};{File.CreationDay}");
  // Removing "Userdefined" is refused; removing the last selects the one before.
  dialogs_.messageAnswers = {MessageResult::kOk, MessageResult::kOk};
  form.btnAddQuickFolderClick(form.btnRemoveQuickFolder);
  EXPECT_EQ(dialogs_.Messages().back(), "Not allowed to delete this Quickselect");
  form.cbQuickFolders->setCurrentIndex(3);
  form.btnAddQuickFolderClick(form.btnRemoveQuickFolder);
  EXPECT_EQ(dialogs_.Messages().back(), "Delete this Quickselect?");
  EXPECT_EQ(form.cbQuickFolders->count(), 3);
  EXPECT_EQ(form.cbQuickFolders->currentText(), "Day");
  EXPECT_EQ(Items(form.lbFolderName), (Texts{"{File.CreationDay}"}));
  EXPECT_EQ(IniFile(dir_ / "config/fotoferry.ini").ReadSection("QuickFolders"),
            (Texts{"Userdefined", "Year\\Month", "Day"}));
  // A name the INI file could not keep is refused.
  form.cbQuickFolders->setCurrentIndex(0);
  dialogs_.inputAnswers = {"a=b"};
  dialogs_.messageAnswers = {MessageResult::kOk};
  form.btnAddQuickFolderClick(form.btnAddQuickFolder);
  EXPECT_EQ(form.cbQuickFolders->count(), 3);
}

TEST_F(MainFormTest, SearchPatternBringsTheMapInLine) {
  TMainForm& form = Form();
  form.MultiTargetMap = {"*.nef=/raw", "*.crw=/raw"};
  form.edtSearchPattern->setText("*.jpg; *.NEF");
  form.edtSearchPatternExit();
  EXPECT_EQ(form.MultiTargetMap, (Texts{"*.nef=/raw", "*.jpg=" + dir_ / "Pictures"}));
  EXPECT_EQ(form.edtSearchPattern->text(), "*.jpg;*.NEF");
  form.edtSearchPattern->setText("*.jpg *.raw");
  form.edtSearchPatternExit();
  EXPECT_EQ(form.edtSearchPattern->text(), "*.jpg;*.raw");
}

TEST_F(MainFormTest, BrowseButtonsChooseFoldersAndTheMapFollowsTheRoot) {
  TMainForm& form = Form();
  const std::string old = form.ImportRoot;
  form.MultiTargetMap = {"*.jpg=" + old, "*.crw=/raw", "*.nef=" + old + "/"};
  dialogs_.folderAnswers = {{true, "/new/root"}, {false, ""}, {true, "/media/card"}};
  form.btnBrowseToClick();
  EXPECT_EQ(dialogs_.asked.back().text, "Select a folder");
  EXPECT_EQ(form.MultiTargetMap, (Texts{"*.jpg=/new/root", "*.crw=/raw", "*.nef=" + old + "/"}));
  EXPECT_EQ(form.edtFolderSample->text(), "/new/root/");
  form.btnBrowseToClick();  // cancelled
  EXPECT_EQ(form.ImportRoot, "/new/root");
  form.btnBrowseFromClick();
  EXPECT_EQ(form.SourceFolder, "/media/card");
  EXPECT_EQ(form.edtFrom->text(), "/media/card");
  // Both choices were saved.
  StoredValues values;
  store_.ReadValues(values);
  EXPECT_EQ(values.importTo, "/new/root");
}

TEST_F(MainFormTest, SettingsSurviveARestart) {
  {
    TMainForm& form = Form();
    form.chkMove->setChecked(true);
    form.chkRecurse->setChecked(false);
    form.edtSearchPattern->setText("*.jpg;*.crw");
    form.edtSearchPatternExit();
    dialogs_.inputAnswers = {"{File.Filename}"};
    form.btnAddValueClick(form.btnFileFreeText);
    form.btnSimple->click();
    dialogs_.messageAnswers = {MessageResult::kOk};
    EXPECT_TRUE(form.close());
  }
  form_.reset();
  TMainForm& again = Form();
  EXPECT_TRUE(again.chkMove->isChecked());
  EXPECT_FALSE(again.chkRecurse->isChecked());
  EXPECT_EQ(again.edtSearchPattern->text(), "*.jpg;*.crw");
  EXPECT_EQ(again.MultiTargetMap.size(), 2u);
  EXPECT_EQ(Items(again.lbFilename), (Texts{"{File.Filename}"}));
  EXPECT_FALSE(again.btnAdvanced->isChecked());
  EXPECT_EQ(again.height(), 236);
  EXPECT_TRUE(again.SourceFolder.empty());
}

TEST_F(MainFormTest, StoredValuesOfTheWrongKindAreReported) {
  {
    Registry registry(RootKey::CurrentUser, dir_ / "config");
    ASSERT_TRUE(registry.OpenKey(kKey, true));
    registry.WriteString("ImportTo", "/stored/root");
    registry.WriteString("Move", "yes");
    registry.WriteInteger("QuickFolders", 7);  // beyond the last entry
  }
  dialogs_.messageAnswers = {MessageResult::kOk};
  TMainForm& form = Form();
  EXPECT_EQ(dialogs_.Messages(), (Texts{"Failed to get data for 'Move'"}));
  EXPECT_EQ(form.ImportRoot, "/stored/root");
  EXPECT_EQ(form.edtTo->text(), "/stored/root");
}

TEST_F(MainFormTest, IndexBeyondTheLastEntrySelectsNothing) {
  {
    Registry registry(RootKey::CurrentUser, dir_ / "config");
    ASSERT_TRUE(registry.OpenKey(kKey, true));
    registry.WriteInteger("QuickFolders", 7);
  }
  TMainForm& form = Form();
  EXPECT_EQ(form.cbQuickFolders->currentIndex(), -1);
  EXPECT_FALSE(form.btnAddQuickFolder->isEnabled());
  EXPECT_FALSE(form.btnRemoveQuickFolder->isEnabled());
}

TEST_F(MainFormTest, ViewsHaveTheirClientHeights) {
  TMainForm& form = Form();
  form.btnSimple->click();
  EXPECT_EQ(form.height(), 236);
  EXPECT_FALSE(form.PanelMiddle->isVisible() && form.isVisible());
  form.btnAdvanced->click();
  EXPECT_EQ(form.height(), 594);
  EXPECT_EQ(form.width(), 742);
}

TEST_F(MainFormTest, StartImportsTheSourceTree) {
  const std::string card = dir_ / "card";
  test::WriteFile(card + "/DCIM/IMG_0001.JPG", "one");
  test::SetTime(card + "/DCIM/IMG_0001.JPG", UtcInstant(2008, 5, 7, 10));
  test::WriteFile(card + "/DCIM/IMG_0002.JPG", "two");
  test::SetTime(card + "/DCIM/IMG_0002.JPG", UtcInstant(2008, 5, 7, 11));
  TMainForm& form = Form();
  dialogs_.folderAnswers = {{true, card}};
  form.btnBrowseFromClick();
  SelectVariable("File.CreationYear");
  form.btnAddValueClick(form.btnFolderAddValue);
  form.btnAddValueClick(form.btnFileAddValue);
  SelectVariable("Incremental.Counter");
  form.btnAddValueClick(form.btnFileAddValue);
  form.btnStartClick();
  EXPECT_EQ(test::ReadFile(dir_ / "Pictures/2008/2008-0001.JPG"), "one");
  EXPECT_EQ(test::ReadFile(dir_ / "Pictures/2008/2008-0002.JPG"), "two");
  EXPECT_EQ(dialogs_.asked.back().kind, "progress");
}

TEST_F(MainFormTest, CancelledStartReportsWhatWasNotImported) {
  const std::string card = dir_ / "card";
  for (int i = 1; i <= 3; ++i) {
    const std::string file = card + "/IMG_000" + std::to_string(i) + ".JPG";
    test::WriteFile(file, std::to_string(i));
    test::SetTime(file, UtcInstant(2008, 5, 7, 10 + i));
  }
  TMainForm& form = Form();
  dialogs_.folderAnswers = {{true, card}};
  form.btnBrowseFromClick();
  dialogs_.cancelProgressAfter = 1;  // Cancel once the first file is under way
  dialogs_.messageAnswers = {MessageResult::kOk};
  form.btnStartClick();
  ASSERT_EQ(dialogs_.Messages().size(), 1u);
  const std::string report = dialogs_.Messages()[0];
  EXPECT_EQ(report.rfind("The import was cancelled. ", 0), 0u) << report;
  EXPECT_NE(report.find("IMG_0003.JPG: Operation canceled"), std::string::npos) << report;
  // What arrived is whole; nothing else, no temporary file, stands there.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_ / "Pictures")) {
    EXPECT_EQ(entry.path().filename(), ".JPG");
    EXPECT_EQ(test::ReadFile(entry.path()), "1");
  }
}

TEST_F(MainFormTest, StartWithoutASourceIsRefused) {
  TMainForm& form = Form();
  dialogs_.messageAnswers = {MessageResult::kOk};
  form.Safely([&] { form.btnStartClick(); });
  EXPECT_EQ(dialogs_.Messages(), (Texts{"No source folder is chosen."}));
}

TEST_F(MainFormTest, ClosingAsksFirst) {
  TMainForm& form = Form();
  form.show();
  dialogs_.messageAnswers = {MessageResult::kCancel};
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(dialogs_.Messages(), (Texts{"Close Fotoferry?"}));
  dialogs_.messageAnswers = {MessageResult::kOk};
  EXPECT_TRUE(form.close());
}

TEST_F(MainFormTest, RendersBothViewsForAPerson) {
  TMainForm& form = Form();
  form.show();
  form.grab().save("main_form_advanced.png");
  form.btnSimple->click();
  form.grab().save("main_form_simple.png");
  EXPECT_TRUE(std::filesystem::exists("main_form_simple.png"));
}

}  // namespace
}  // namespace ff
