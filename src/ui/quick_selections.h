// The quick selections of one side: the drop-down box of named templates,
// its plus and minus buttons, and what choosing, adding and removing do.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <functional>
#include <vector>

#include "toolkit/dialogs.h"
#include "ui/template_editor.h"

namespace ff {

class QuickSelections {
 public:
  // list is the side's quick list (line i belongs to item i of box). save
  // and refresh run SaveSettings and RefreshSamples.
  QuickSelections(TemplateEditor::Side side, QComboBox& box, QAbstractButton& add,
                  QAbstractButton& remove, std::vector<NamedTemplate>& list, TemplateEditor& editor,
                  Dialogs& dialogs, std::function<void()> save, std::function<void()> refresh);

  // Choosing an entry: the buttons follow it, the template list takes its
  // template, the samples are refreshed.
  void Change();
  void Add();     // the plus button
  void Remove();  // the minus button

  // Refills the box from the list (quietly) and selects index (none when
  // out of range); the caller runs Change afterwards.
  void Fill(int index);
  // Selects entry 0; runs Change when the shown name changes.
  void SelectUserdefined();

 private:
  TemplateEditor::Side side_;
  QComboBox& box_;
  QAbstractButton& add_;
  QAbstractButton& remove_;
  std::vector<NamedTemplate>& list_;
  TemplateEditor& editor_;
  Dialogs& dialogs_;
  std::function<void()> save_;
  std::function<void()> refresh_;
};

}  // namespace ff
