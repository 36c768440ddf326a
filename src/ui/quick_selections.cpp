#include "ui/quick_selections.h"

#include <QSignalBlocker>
#include <algorithm>

namespace ff {
namespace {

std::string Trimmed(const std::string& text) {
  const size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

}  // namespace

QuickSelections::QuickSelections(TemplateEditor::Side side, QComboBox& box, QAbstractButton& add,
                                 QAbstractButton& remove, std::vector<NamedTemplate>& list,
                                 TemplateEditor& editor, Dialogs& dialogs,
                                 std::function<void()> save, std::function<void()> refresh)
    : side_(side),
      box_(box),
      add_(add),
      remove_(remove),
      list_(list),
      editor_(editor),
      dialogs_(dialogs),
      save_(std::move(save)),
      refresh_(std::move(refresh)) {}

void QuickSelections::Change() {
  const int k = box_.currentIndex();
  add_.setEnabled(k == 0);
  remove_.setEnabled(k > 0);
  editor_.SetStored(k >= 0 && k < static_cast<int>(list_.size()) ? list_[k].stored : "");
  refresh_();
}

void QuickSelections::Fill(int index) {
  const QSignalBlocker quiet(box_);
  box_.clear();
  for (const NamedTemplate& entry : list_) box_.addItem(QString::fromStdString(entry.name));
  box_.setCurrentIndex(index >= 0 && index < box_.count() ? index : -1);
}

void QuickSelections::SelectUserdefined() {
  if (box_.count() == 0) Fill(0);
  box_.setCurrentIndex(0);  // a change of the shown name runs Change
}

void QuickSelections::Add() {
  const bool folder = side_ == TemplateEditor::Side::kFolder;
  const std::string typed =
      dialogs_.Input(folder ? "Foldername Quickselect" : "Filename Quickselect",
                     folder ? "Enter a name for your Foldername Quickselect"
                            : "Enter a name for your Filename Quickselect",
                     "");
  // The INI file keeps one key per name, ends a key at its first "=" and
  // drops blanks around it: such names would not come back as typed.
  const std::string name = Trimmed(typed);
  if (name.empty()) return;
  if (name.find('=') != std::string::npos || name.front() == '[' || name.front() == ';') {
    dialogs_.Message("A Quickselect name cannot hold \"=\" or begin with \"[\" or \";\"",
                     MessageKind::kInformation, MessageButtons::kOk);
    return;
  }
  if (std::any_of(list_.begin(), list_.end(), [&](const NamedTemplate& entry) {
        return QString::fromStdString(entry.name)
                   .compare(QString::fromStdString(name), Qt::CaseInsensitive) == 0;
      })) {
    dialogs_.Message("A Quickselect named " + name + " exists already", MessageKind::kInformation,
                     MessageButtons::kOk);
    return;
  }
  {
    const QSignalBlocker quiet(box_);
    box_.addItem(QString::fromStdString(name));
  }
  list_.push_back({name, editor_.Stored()});
  save_();
  refresh_();
}

void QuickSelections::Remove() {
  const int k = box_.currentIndex();
  if (k == 0) {
    dialogs_.Message("Not allowed to delete this Quickselect", MessageKind::kInformation,
                     MessageButtons::kOk);
    return;
  }
  if (k < 0) return;
  if (dialogs_.Message("Delete this Quickselect?", MessageKind::kConfirmation,
                       MessageButtons::kOkCancel) != MessageResult::kOk)
    return;
  const QString shown = box_.currentText();
  {
    const QSignalBlocker quiet(box_);
    box_.removeItem(k);
    if (k < static_cast<int>(list_.size())) list_.erase(list_.begin() + k);
    box_.setCurrentIndex(k < box_.count() ? k : k - 1);
  }
  // The handler runs only when the shown name changed.
  if (box_.currentText() != shown) Change();
  save_();
  refresh_();
}

}  // namespace ff
