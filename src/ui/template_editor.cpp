#include "ui/template_editor.h"

#include "import/naming_template.h"

namespace ff {

TemplateEditor::TemplateEditor(Side side, QListWidget& list, std::vector<NamedTemplate>& quickList,
                               Dialogs& dialogs, std::function<void()> selectUserdefined)
    : side_(side),
      list_(list),
      quickList_(quickList),
      dialogs_(dialogs),
      selectUserdefined_(std::move(selectUserdefined)) {}

std::vector<std::string> TemplateEditor::Items() const {
  std::vector<std::string> items;
  for (int i = 0; i < list_.count(); ++i) items.push_back(list_.item(i)->text().toStdString());
  return items;
}

std::string TemplateEditor::Stored() const { return TemplateToStored(ItemsToTemplate(Items())); }

void TemplateEditor::SetStored(const std::string& stored) {
  list_.clear();
  for (const std::string& item : TemplateItems(StoredToTemplate(stored)))
    list_.addItem(QString::fromStdString(item));
  list_.setCurrentRow(-1);
}

void TemplateEditor::EnsureSelection() {
  if (list_.currentRow() < 0 && list_.count() > 0) list_.setCurrentRow(list_.count() - 1);
}

void TemplateEditor::InsertAfterSelection(const std::string& item) {
  const int at = list_.currentRow() < 0 ? 0 : list_.currentRow() + 1;
  list_.insertItem(at, QString::fromStdString(item));
  list_.setCurrentRow(at);
}

std::string TemplateEditor::AskFreeText() {
  return dialogs_.Input("Add freetext",
                        side_ == Side::kFolder ? "Enter freetext to your foldername here"
                                               : "Enter freetext to your filename here",
                        "");
}

void TemplateEditor::StoreStep() {
  if (quickList_.empty()) quickList_.insert(quickList_.begin(), {kUserdefined, ""});
  quickList_.front().stored = Stored();
  selectUserdefined_();
}

bool TemplateEditor::AddValue(const std::string& variable, const std::string& suffix) {
  if (side_ == Side::kFolder && variable == "Incremental.Counter") {
    dialogs_.Message("Counter not allowed for folders", MessageKind::kError, MessageButtons::kOk);
    return false;
  }
  // Nothing to add while no variable is chosen: the template stays as it is.
  if (variable.empty()) return false;
  EnsureSelection();
  InsertAfterSelection("{" + variable + "}" + suffix);
  StoreStep();
  return true;
}

void TemplateEditor::AddFreeText() {
  EnsureSelection();
  const std::string text = AskFreeText();
  if (!text.empty()) InsertAfterSelection(text);
  StoreStep();
}

bool TemplateEditor::KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers held =
      modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const bool ctrl = held == Qt::ControlModifier;
  const bool plain = held == Qt::NoModifier;
  EnsureSelection();
  const int row = list_.currentRow();
  bool consumed = false;
  bool changed = false;
  if (ctrl && (key == Qt::Key_Up || key == Qt::Key_Down)) {
    consumed = true;
    const int other = key == Qt::Key_Up ? row - 1 : row + 1;
    if (row >= 0 && other >= 0 && other < list_.count()) {
      QListWidgetItem* item = list_.takeItem(row);
      list_.insertItem(other, item);
      list_.setCurrentRow(other);
      changed = true;
    }
  } else if (plain && key == Qt::Key_Insert) {
    const std::string text = AskFreeText();
    if (!text.empty()) {
      InsertAfterSelection(text);
      changed = true;
    }
    consumed = true;
  } else if (plain && key == Qt::Key_Delete) {
    if (row >= 0) {
      delete list_.takeItem(row);
      list_.setCurrentRow(list_.count() == 0 ? -1 : std::min(row, list_.count() - 1));
    }
    changed = true;  // also on an empty list
    consumed = true;
  }
  if (changed) StoreStep();
  return consumed;
}

}  // namespace ff
