// The modal boxes drawn with Qt Widgets.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "toolkit/dialogs.h"

namespace ff {

class QtDialogs : public Dialogs {
 public:
  // parent owns the boxes while they are shown; caption is the title of
  // message boxes (the application's title).
  QtDialogs(QWidget* parent, QString caption);
  // The window the boxes belong to from now on.
  void SetParent(QWidget* parent) { parent_ = parent; }

  MessageResult Message(const std::string& text, MessageKind kind, MessageButtons buttons) override;
  std::string Input(const std::string& caption, const std::string& prompt,
                    const std::string& defaultText) override;
  FolderChoice ChooseFolder(const std::string& title, const std::string& start) override;
  std::unique_ptr<ProgressBox> Progress(const std::string& title) override;

 private:
  QPointer<QWidget> parent_;
  QString caption_;
};

// Object names of the widgets tests look for in the boxes.
inline constexpr const char* kInputEditName = "inputBoxEdit";

}  // namespace ff
