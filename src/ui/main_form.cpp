#include "ui/main_form.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "import/delimited_text.h"
#include "import/expander.h"
#include "import/naming_template.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "ui/import_runner.h"

namespace ff {
namespace {

constexpr const char* kTagProperty = "tag";

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A 16 x 16 blue plus or minus sign.
QIcon SignIcon(bool plus) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(30, 90, 200));
  painter.drawRect(2, 7, 12, 3);
  if (plus) painter.drawRect(7, 2, 3, 12);
  return QIcon(pixmap);
}

template <typename W>
W* Make(QWidget* parent, const char* name, int x, int y, int w, int h) {
  auto* widget = new W(parent);
  widget->setObjectName(name);
  widget->setGeometry(x, y, w, h);
  return widget;
}

void Label(QWidget* parent, const char* text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  label->adjustSize();
}

QPushButton* Button(QWidget* parent, const char* name, int x, int y, const char* caption,
                    const char* hint, int tag = 0) {
  auto* button = Make<QPushButton>(parent, name, x, y, 75, 25);
  button->setText(caption);
  button->setToolTip(hint);
  if (tag) button->setProperty(kTagProperty, tag);
  return button;
}

QLineEdit* FolderField(QWidget* parent, const char* name, int x, int y, const char* hint) {
  auto* edit = Make<QLineEdit>(parent, name, x, y, 260, 18);
  edit->setReadOnly(true);
  edit->setToolTip(hint);
  return edit;
}

// Tab moves through widgets in the order given.
void TabChain(std::initializer_list<QWidget*> widgets) {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets) {
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

// A check box at x 16 whose caption is never cut: it grows to its text
// where a font needs more room than the layout gives.
QCheckBox* CheckBox(QWidget* parent, const char* name, int y, int w, const char* caption,
                    const char* hint) {
  auto* box = Make<QCheckBox>(parent, name, 16, y, w, 17);
  box->setText(caption);
  box->setToolTip(hint);
  box->resize(std::max(w, box->sizeHint().width()), box->height());
  return box;
}

// A read-only sample name that Tab passes by.
QLineEdit* SampleField(QWidget* parent, const char* name, int x, int w, const char* hint) {
  auto* edit = Make<QLineEdit>(parent, name, x, 32, w, 18);
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::NoFocus);
  edit->setToolTip(hint);
  return edit;
}

}  // namespace

int TagOf(const QObject* widget) { return widget ? widget->property(kTagProperty).toInt() : 0; }

TMainForm::TMainForm(MainFormServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
  setObjectName("MainForm");
  setWindowTitle(kMainCaption);
  setFixedSize(kClientWidth, kAdvancedClientHeight);
  move(0, 0);
  // The layout's sizes are those of a small dialog font.
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  PanelTop = Make<QFrame>(this, "PanelTop", 0, 0, kClientWidth, kPanelTopHeight);
  PanelMiddle =
      Make<QFrame>(this, "PanelMiddle", 0, kPanelTopHeight, kClientWidth, kPanelMiddleHeight);
  PanelBottom =
      Make<QFrame>(this, "PanelBottom", 0, kPanelTopHeight + kPanelMiddleHeight, kClientWidth, 65);
  BuildTopPanel();
  BuildMiddlePanel();
  BuildBottomPanel();

  folderEditor_ = std::make_unique<TemplateEditor>(TemplateEditor::Side::kFolder, *lbFolderName,
                                                   QuickFolderList, services_.dialogs,
                                                   [this] { quickFolders_->SelectUserdefined(); });
  fileEditor_ = std::make_unique<TemplateEditor>(TemplateEditor::Side::kFile, *lbFilename,
                                                 QuickFileList, services_.dialogs,
                                                 [this] { quickFiles_->SelectUserdefined(); });
  quickFolders_ = std::make_unique<QuickSelections>(
      TemplateEditor::Side::kFolder, *cbQuickFolders, *btnAddQuickFolder, *btnRemoveQuickFolder,
      QuickFolderList, *folderEditor_, services_.dialogs, [this] { SaveSettings(); },
      [this] { RefreshSamples(); });
  quickFiles_ = std::make_unique<QuickSelections>(
      TemplateEditor::Side::kFile, *cbQuickFiles, *btnAddQuickFile, *btnRemoveQuickFile,
      QuickFileList, *fileEditor_, services_.dialogs, [this] { SaveSettings(); },
      [this] { RefreshSamples(); });
  Wire();
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildTopPanel() {
  QWidget* p = PanelTop;
  Label(p, "Folder to import from:", 16, 14);
  Label(p, "Folder to import into:", 282, 14);
  Label(p, "Files to search for:", 282, 64);
  Label(p, "Quickselect for folders:", 16, 116);
  Label(p, "Quickselect for files:", 548, 116);
  edtFrom = FolderField(p, "edtFrom", 16, 32, "Select where to look for files");
  edtTo = FolderField(p, "edtTo", 282, 32, "Select root folder to import into");
  btnMultiTarget = Button(p, "btnMultiTarget", 552, 32, "Multitarget",
                          "Match each wildcard to search for with it's own target path");
  chkRecurse =
      CheckBox(p, "chkRecurse", 57, 127, "Recursive search", "Search subfolders under source");
  chkRecurse->setChecked(true);
  chkMove = CheckBox(p, "chkMove", 76, 137, "Move instead of copy",
                     "Removes sourcefile after creating targetfile");
  chkFormat = CheckBox(p, "chkFormat", 94, 161, "Format source after import",
                       "Only available if source is a cardreader");
  edtSearchPattern = Make<QLineEdit>(p, "edtSearchPattern", 282, 84, 260, 18);
  edtSearchPattern->setText(kDefaultSearchPattern);
  edtSearchPattern->setToolTip("Widcards separated with ;");
  cbQuickFolders = Make<QComboBox>(p, "cbQuickFolders", 16, 135, 177, 21);
  cbQuickFolders->setMaxVisibleItems(8);
  cbQuickFolders->setToolTip("Select a foldername of your choice");
  cbQuickFiles = Make<QComboBox>(p, "cbQuickFiles", 548, 135, 177, 21);
  cbQuickFiles->setMaxVisibleItems(8);
  cbQuickFiles->setToolTip("Select a filename of your choice");
  btnStart = Button(p, "btnStart", 651, 32, "&Start", "Start importing");
  btnAbout = Button(p, "btnAbout", 651, 63, "&About...", "Show info about the application");
  const auto glyph = [p](const char* name, int x, bool plus, const char* hint, int tag) {
    auto* button = Make<QToolButton>(p, name, x, 135, 24, 24);
    button->setIcon(SignIcon(plus));
    button->setToolTip(hint);
    button->setProperty(kTagProperty, tag);
    button->setAutoRaise(true);
    return button;
  };
  btnAddQuickFolder =
      glyph("btnAddQuickFolder", 200, true, "Add current folderstring as a Quickselection", 101);
  btnRemoveQuickFile =
      glyph("btnRemoveQuickFile", 517, false, "Remove current Quickselection for Filenames", 104);
  btnRemoveQuickFolder = glyph("btnRemoveQuickFolder", 224, false,
                               "Remove current Quickselection for Foldernames", 102);
  btnAddQuickFile =
      glyph("btnAddQuickFile", 493, true, "Add current filestring as a Quickselection", 103);
  TabChain({edtFrom, edtTo, btnMultiTarget, chkRecurse, chkMove, chkFormat, edtSearchPattern,
            cbQuickFolders, cbQuickFiles, btnStart, btnAbout, btnAddQuickFolder, btnRemoveQuickFile,
            btnRemoveQuickFolder, btnAddQuickFile});
}

void TMainForm::BuildMiddlePanel() {
  QWidget* p = PanelMiddle;
  Label(p, "Foldername:", 16, 12);
  Label(p, "Folder and filenames variables:", 282, 12);
  Label(p, "Filename:", 548, 12);
  lbFolderName = Make<QListWidget>(p, "lbFolderName", 16, 32, 177, 309);
  lbFolderName->setToolTip("This is your current folderstring");
  btnFolderAddValue = Button(p, "btnFolderAddValue", 200, 32, "Add", "Add value to selection", 1);
  btnFolderAddValueSpc = Button(p, "btnFolderAddValueSpc", 200, 64, "Add + Spc",
                                "Add value with a trailing space to selection", 2);
  btnFolderAddValueBreak = Button(p, "btnFolderAddValueBreak", 200, 95, "Add + \\",
                                  "Add value with a following backslash to selection", 3);
  btnFolderFreeText =
      Button(p, "btnFolderFreeText", 200, 126, "Freetext", "Add freetext to selection", 4);
  lbVariables = Make<QListWidget>(p, "lbVariables", 282, 32, 177, 309);
  lbVariables->setToolTip("Use these variables to create a folder or filestring");
  for (std::string_view name : kVariableNames) lbVariables->addItem(Q(std::string(name)));
  lbVariables->setCurrentRow(-1);
  lbFilename = Make<QListWidget>(p, "lbFilename", 548, 32, 177, 309);
  lbFilename->setToolTip("This is your current filestring");
  btnFileAddValue = Button(p, "btnFileAddValue", 466, 32, "Add", "Add value to selection", 6);
  btnFileAddValueSpc = Button(p, "btnFileAddValueSpc", 466, 64, "Add + Spc",
                              "Add value with a trailing space to selection", 7);
  btnFileFreeText =
      Button(p, "btnFileFreeText", 466, 95, "Freetext", "Add freetext to selection", 8);
  for (QListWidget* list : {lbFolderName, lbVariables, lbFilename})
    list->setSelectionMode(QAbstractItemView::SingleSelection);
  TabChain({lbFolderName, btnFolderAddValue, btnFolderAddValueSpc, btnFolderAddValueBreak,
            btnFolderFreeText, lbVariables, lbFilename, btnFileAddValue, btnFileAddValueSpc,
            btnFileFreeText});
}

void TMainForm::BuildBottomPanel() {
  QWidget* p = PanelBottom;
  Label(p, "Sample of foldername:", 16, 12);
  Label(p, "Sample of filename:", 466, 12);
  auto* view = new QLabel("View", p);
  view->setGeometry(308, 5, 129, 19);
  view->setAlignment(Qt::AlignCenter);
  view->setFrameShape(QFrame::Box);
  edtFolderSample =
      SampleField(p, "edtFolderSample", 16, 260, "Sample of your current selection of foldername");
  btnAdvanced = Make<QPushButton>(p, "btnAdvanced", 308, 28, 65, 21);
  btnAdvanced->setText("Advanced");
  btnAdvanced->setToolTip("Show Advanced mode");
  btnSimple = Make<QPushButton>(p, "btnSimple", 372, 28, 65, 21);
  btnSimple->setText("Simple");
  btnSimple->setToolTip("Show Simple mode");
  auto* group = new QButtonGroup(this);
  for (QPushButton* button : {btnAdvanced, btnSimple}) {
    button->setCheckable(true);
    group->addButton(button);
  }
  group->setExclusive(true);
  btnAdvanced->setChecked(true);
  edtFileSample =
      SampleField(p, "edtFileSample", 466, 258, "Sample of your current selection of filename");
  TabChain({PanelTop, PanelBottom, PanelMiddle});
}

void TMainForm::Wire() {
  const auto browse = [](QLineEdit* edit, auto handler) {
    QAction* action = edit->addAction(edit->style()->standardIcon(QStyle::SP_DirOpenIcon),
                                      QLineEdit::TrailingPosition);
    action->setToolTip(edit->toolTip());
    QObject::connect(action, &QAction::triggered, edit, handler);
  };
  browse(edtFrom, [this] { Safely([this] { btnBrowseFromClick(); }); });
  browse(edtTo, [this] { Safely([this] { btnBrowseToClick(); }); });
  for (QPushButton* button :
       {btnFolderAddValue, btnFolderAddValueSpc, btnFolderAddValueBreak, btnFolderFreeText,
        btnFileAddValue, btnFileAddValueSpc, btnFileFreeText})
    connect(button, &QPushButton::clicked, this,
            [this, button] { Safely([this, button] { btnAddValueClick(button); }); });
  for (QToolButton* button :
       {btnAddQuickFolder, btnRemoveQuickFolder, btnAddQuickFile, btnRemoveQuickFile})
    connect(button, &QToolButton::clicked, this,
            [this, button] { Safely([this, button] { btnAddQuickFolderClick(button); }); });
  connect(cbQuickFolders, &QComboBox::currentTextChanged, this,
          [this] { Safely([this] { cbQuickFoldersChange(); }); });
  connect(cbQuickFiles, &QComboBox::currentTextChanged, this,
          [this] { Safely([this] { cbQuickFilesChange(); }); });
  connect(btnStart, &QPushButton::clicked, this, [this] { Safely([this] { btnStartClick(); }); });
  connect(btnAdvanced, &QPushButton::clicked, this, [this] { btnModeClick(); });
  connect(btnSimple, &QPushButton::clicked, this, [this] { btnModeClick(); });
  lbFolderName->installEventFilter(this);
  lbFilename->installEventFilter(this);
  edtSearchPattern->installEventFilter(this);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == lbFolderName || watched == lbFilename)) {
    auto* key = static_cast<QKeyEvent*>(event);
    bool consumed = false;
    Safely([&] {
      consumed = watched == lbFolderName ? lbFolderNameListBoxKeyDown(key->key(), key->modifiers())
                                         : lbFilenameListBoxKeyDown(key->key(), key->modifiers());
    });
    return consumed;
  }
  if (event->type() == QEvent::FocusOut && watched == edtSearchPattern)
    Safely([this] { edtSearchPatternExit(); });
  return QWidget::eventFilter(watched, event);
}

// ----- the template editor -----

std::string TMainForm::SelectedVariable() const {
  const QListWidgetItem* item = lbVariables->currentItem();
  return item && item->isSelected() ? item->text().toStdString() : std::string();
}

void TMainForm::btnAddValueClick(QObject* sender) {
  const int tag = TagOf(sender);
  TemplateEditor& editor = tag <= 4 ? *folderEditor_ : *fileEditor_;
  switch (tag) {
    case 1:
    case 6:
      if (!editor.AddValue(SelectedVariable(), "")) return;
      break;
    case 2:
    case 7:
      if (!editor.AddValue(SelectedVariable(), "{Spc}")) return;
      break;
    case 3:
      if (!editor.AddValue(SelectedVariable(), "\\")) return;
      break;
    case 4:
    case 8:
      editor.AddFreeText();
      break;
    default:
      return;
  }
  RefreshSamples();
}

bool TMainForm::lbFolderNameListBoxKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const bool consumed = folderEditor_->KeyDown(key, modifiers);
  RefreshSamples();
  return consumed;
}

bool TMainForm::lbFilenameListBoxKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const bool consumed = fileEditor_->KeyDown(key, modifiers);
  RefreshSamples();
  return consumed;
}

void TMainForm::RefreshSamples() {
  try {
    const TemplateExpander expander(services_.env, services_.clock, ImportRoot, MultiTargetMap);
    const SampleNames names =
        MakeSampleNames(expander, ItemsToTemplate(folderEditor_->Items()),
                        ItemsToTemplate(fileEditor_->Items()), services_.sampleFile());
    edtFolderSample->setText(Q(names.folder));
    edtFileSample->setText(Q(names.file));
  } catch (const Error& e) {
    // A wildcard of the map that is not valid: the samples say so.
    edtFolderSample->setText(Q(e.what()));
    edtFileSample->clear();
  }
}

// ----- folders and wildcards -----

void TMainForm::edtSearchPatternExit() {
  const std::vector<std::string> wildcards =
      ReadDelimitedText(edtSearchPattern->text().toStdString());
  const auto nameOf = [](const std::string& line) {
    return std::string_view(line).substr(0, line.find('='));
  };
  for (const std::string& wildcard : wildcards) {
    const bool named = std::any_of(
        MultiTargetMap.begin(), MultiTargetMap.end(),
        [&](const std::string& line) { return EqualsIgnoreCase(nameOf(line), wildcard); });
    if (!named) MultiTargetMap.push_back(wildcard + "=" + edtTo->text().toStdString());
  }
  std::erase_if(MultiTargetMap, [&](const std::string& line) {
    return std::none_of(wildcards.begin(), wildcards.end(), [&](const std::string& wildcard) {
      return EqualsIgnoreCase(nameOf(line), wildcard);
    });
  });
  edtSearchPattern->setText(Q(WriteDelimitedText(wildcards)));
}

void TMainForm::btnBrowseFromClick() {
  const FolderChoice choice = services_.dialogs.ChooseFolder("Select a folder", SourceFolder);
  if (!choice.confirmed) return;
  SourceFolder = choice.folder;
  edtFrom->setText(Q(SourceFolder));
  SaveSettings();
}

void TMainForm::btnBrowseToClick() {
  const std::string oldRoot = ImportRoot;
  const FolderChoice choice = services_.dialogs.ChooseFolder("Select a folder", ImportRoot);
  if (!choice.confirmed) return;
  ImportRoot = choice.folder;
  edtTo->setText(Q(ImportRoot));
  for (std::string& line : MultiTargetMap) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos && line.compare(eq + 1, std::string::npos, oldRoot) == 0)
      line = line.substr(0, eq + 1) + ImportRoot;
  }
  SaveSettings();
  RefreshSamples();
}

void TMainForm::btnStartClick() {
  // The progress box lets the window draw itself while files are copied;
  // a second press of Start meanwhile does nothing.
  if (importing_) return;
  importing_ = true;
  const struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{importing_};
  {
    ImportRunner runner(services_.dialogs, services_.transfer, services_.drives, services_.env,
                        services_.clock, services_.log);
    ImportRunOptions options;
    options.request.sourceFolder = SourceFolder;
    options.request.searchPattern = edtSearchPattern->text().toStdString();
    options.request.folderTemplate = ItemsToTemplate(folderEditor_->Items());
    options.request.fileTemplate = ItemsToTemplate(fileEditor_->Items());
    ImportRoot = edtTo->text().toStdString();
    options.request.importRoot = ImportRoot;
    options.request.multiTargetMap = MultiTargetMap;
    options.request.recurse = chkRecurse->isChecked();
    options.move = chkMove->isChecked();
    options.format = chkFormat->isChecked();
    runner.Run(options);
  }
}

// ----- quick selections -----

void TMainForm::cbQuickFoldersChange() { quickFolders_->Change(); }
void TMainForm::cbQuickFilesChange() { quickFiles_->Change(); }

void TMainForm::btnAddQuickFolderClick(QObject* sender) {
  if (!qobject_cast<QAbstractButton*>(sender)) return;
  switch (TagOf(sender)) {
    case 101:
      quickFolders_->Add();
      break;
    case 102:
      quickFolders_->Remove();
      break;
    case 103:
      quickFiles_->Add();
      break;
    case 104:
      quickFiles_->Remove();
      break;
    default:
      break;
  }
}

// ----- views -----

bool TMainForm::Advanced() const { return btnAdvanced->isChecked(); }

void TMainForm::ApplyView() {
  if (Advanced())
    ShowAdvancedMode();
  else
    ShowSimpleMode();
}

void TMainForm::btnModeClick() { ApplyView(); }

void TMainForm::SetClientHeight(int height) {
  setFixedSize(kClientWidth, height);
  resize(kClientWidth, height);
}

void TMainForm::ShowAdvancedMode() {
  PanelMiddle->setVisible(true);
  PanelBottom->move(0, kPanelTopHeight + kPanelMiddleHeight);
  SetClientHeight(kAdvancedClientHeight);
}

void TMainForm::ShowSimpleMode() {
  PanelMiddle->setVisible(false);
  PanelBottom->move(0, kPanelTopHeight);
  SetClientHeight(kAdvancedClientHeight - PanelMiddle->height());
}

// ----- life of the window -----

void TMainForm::FormCreate() {
  Safely([this] { LoadSettings(); });
  QApplication::processEvents();
}

void TMainForm::Safely(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ReportError(e.what());
  }
}

bool TMainForm::FormCloseQuery() {
  return services_.dialogs.Message("Close Fotoferry?", MessageKind::kConfirmation,
                                   MessageButtons::kOkCancel) == MessageResult::kOk;
}

void TMainForm::FormClose() {
  Safely([this] { SaveSettings(); });
  services_.setMediaDetect(false);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  closing_ = true;
  FormClose();
  event->accept();
}

void TMainForm::ReportError(const std::string& message) {
  std::string text = message;
  // A full stop ends the message unless it ends in one, or in a character
  // that sorts before it.
  if (text.empty() || static_cast<unsigned char>(text.back()) > '.') text += '.';
  services_.dialogs.Message(text, MessageKind::kError, MessageButtons::kOk);
}

// ----- settings -----

void TMainForm::LoadSettings() {
  SourceFolder.clear();
  ImportRoot = UserPicturesFolder();
  QuickFolderList = services_.settings.ReadQuickList(kQuickFoldersSection);
  QuickFileList = services_.settings.ReadQuickList(kQuickFilesSection);
  quickFolders_->Fill(-1);
  quickFiles_->Fill(-1);

  StoredValues values;
  bool opened = false;
  std::optional<std::string> failure;
  try {
    opened = services_.settings.ReadValues(values);
  } catch (const Error& e) {
    failure = e.what();  // what was read before the bad value still applies
  }
  if (opened || failure) {
    if (values.importTo) ImportRoot = *values.importTo;
    if (values.move) chkMove->setChecked(*values.move);
    if (values.format) chkFormat->setChecked(*values.format);
    if (values.recurse) chkRecurse->setChecked(*values.recurse);
    if (values.searchPattern) edtSearchPattern->setText(Q(*values.searchPattern));
    quickFolders_->Fill(values.quickFolders.value_or(0));
    quickFiles_->Fill(values.quickFiles.value_or(0));
    if (values.mediaDetect) {
      mediaDetect_ = *values.mediaDetect;
      services_.setMediaDetect(mediaDetect_);
    }
    SkinFile = values.skin.value_or(kDefaultSkin);
    services_.loadSkin(SkinFile);
    if (values.multiTargets) MultiTargetMap = *values.multiTargets;
  }
  if (failure) {
    edtTo->setText(Q(ImportRoot));
    throw Error(*failure);
  }
  if (opened) {
    CompleteMultiTargetMap(MultiTargetMap, edtSearchPattern->text().toStdString(), ImportRoot);
    if (values.advanced) (*values.advanced ? btnAdvanced : btnSimple)->setChecked(true);
    ApplyView();
  }
  autostart_ = services_.settings.AutostartOn();
  cbQuickFoldersChange();
  cbQuickFilesChange();
  edtTo->setText(Q(ImportRoot));
  RefreshSamples();
}

void TMainForm::SaveSettings() {
  ValuesToSave values;
  values.advanced = Advanced();
  values.move = chkMove->isChecked();
  values.format = chkFormat->isChecked();
  values.mediaDetect = mediaDetect_;
  values.recurse = chkRecurse->isChecked();
  values.quickFolders = cbQuickFolders->currentIndex();
  values.quickFiles = cbQuickFiles->currentIndex();
  values.importTo = ImportRoot;
  values.searchPattern = edtSearchPattern->text().toStdString();
  values.skin = SkinFile;
  values.multiTargets = MultiTargetMap;
  services_.settings.WriteValues(values);
  const auto boxItems = [](QComboBox* box) {
    std::vector<std::string> items;
    for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
    return items;
  };
  for (auto [section, box, list] :
       {std::tuple{kQuickFoldersSection, cbQuickFolders, &QuickFolderList},
        std::tuple{kQuickFilesSection, cbQuickFiles, &QuickFileList}}) {
    std::vector<std::string> items = boxItems(box);
    services_.settings.WriteQuickList(section, items, *list);
    if (box->count() != static_cast<int>(items.size())) {
      // "Userdefined" was missing from the box: it is now its first item.
      const QSignalBlocker quiet(box);
      box->insertItem(0, kUserdefined);
    }
  }
}

}  // namespace ff
