#include "toolkit/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace ff {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

class QtProgress : public ProgressBox {
 public:
  QtProgress(QWidget* parent, const QString& title)
      : dialog_(title, QObject::tr("Cancel"), 0, 1000, parent) {
    dialog_.setWindowTitle(title);
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(300);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setValue(0);
  }

  bool Update(std::uint64_t done, std::uint64_t total, const std::string& text) override {
    // Drawn at most 20 times a second: a card holds many small files.
    if (shown_.isValid() && shown_.elapsed() < 50) return !dialog_.wasCanceled();
    shown_.start();
    const int value = total == 0 ? 0 : static_cast<int>(done * 1000 / total);
    dialog_.setLabelText(Q(text));
    dialog_.setValue(std::min(value, 1000));
    QApplication::processEvents();
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
  QElapsedTimer shown_;
};

}  // namespace

QtDialogs::QtDialogs(QWidget* parent, QString caption)
    : parent_(parent), caption_(std::move(caption)) {}

MessageResult QtDialogs::Message(const std::string& text, MessageKind kind,
                                 MessageButtons buttons) {
  QMessageBox box(parent_);
  box.setWindowTitle(caption_);
  box.setText(Q(text));
  box.setIcon(kind == MessageKind::kError         ? QMessageBox::Critical
              : kind == MessageKind::kInformation ? QMessageBox::Information
                                                  : QMessageBox::Question);
  switch (buttons) {
    case MessageButtons::kOk:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageButtons::kOkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      break;
    case MessageButtons::kYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::No);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return MessageResult::kOk;
    case QMessageBox::Yes:
      return MessageResult::kYes;
    case QMessageBox::No:
      return MessageResult::kNo;
    default:
      return buttons == MessageButtons::kYesNo ? MessageResult::kNo : MessageResult::kCancel;
  }
}

std::string QtDialogs::Input(const std::string& caption, const std::string& prompt,
                             const std::string& defaultText) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(Q(caption));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(Q(prompt), &dialog));
  auto* edit = new QLineEdit(Q(defaultText), &dialog);
  edit->setObjectName(kInputEditName);
  edit->setMaxLength(255);
  edit->selectAll();
  layout->addWidget(edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return defaultText;
  return edit->text().toStdString();
}

FolderChoice QtDialogs::ChooseFolder(const std::string& title, const std::string& start) {
  const QString folder = QFileDialog::getExistingDirectory(parent_, Q(title), Q(start));
  if (folder.isEmpty()) return {};
  return {true, folder.toStdString()};
}

std::unique_ptr<ProgressBox> QtDialogs::Progress(const std::string& title) {
  return std::make_unique<QtProgress>(parent_, Q(title));
}

}  // namespace ff
