// One side of the template editor: a template list (the folder string or the
// file string), its Add and Freetext commands, its keys, and the store step
// that keeps the quick selection "Userdefined" in line with hand edits.
#pragma once

#include <QListWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "toolkit/dialogs.h"

namespace ff {

class TemplateEditor {
 public:
  enum class Side { kFolder, kFile };

  // list shows the template's items; quickList and selectUserdefined belong
  // to the side's quick selections (the store step writes line 0 and then
  // selects entry 0 of the box).
  TemplateEditor(Side side, QListWidget& list, std::vector<NamedTemplate>& quickList,
                 Dialogs& dialogs, std::function<void()> selectUserdefined);

  // The Add buttons: variable is the selected variable (empty: none). The
  // folder side refuses the counter. Answers whether the store step ran.
  bool AddValue(const std::string& variable, const std::string& suffix);
  // The Freetext button: asks for text; the store step runs even for none.
  void AddFreeText();
  // A key pressed in the list; answers true when the key was consumed (the
  // list must not handle it as well).
  bool KeyDown(int key, Qt::KeyboardModifiers modifiers);

  // The items as list text and as stored form; replacing them leaves no
  // item selected.
  std::vector<std::string> Items() const;
  std::string Stored() const;
  void SetStored(const std::string& stored);

 private:
  void EnsureSelection();
  void InsertAfterSelection(const std::string& item);
  std::string AskFreeText();
  void StoreStep();

  Side side_;
  QListWidget& list_;
  std::vector<NamedTemplate>& quickList_;
  Dialogs& dialogs_;
  std::function<void()> selectUserdefined_;
};

}  // namespace ff
