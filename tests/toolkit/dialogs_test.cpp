#include "toolkit/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "toolkit/qt_dialogs.h"

namespace ff {
namespace {

class QtDialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "dialogs_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) app_ = new QApplication(argc, argv);
  }

  // Runs answer on the modal box as soon as it shows.
  static void WhenModal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        timer->stop();
        timer->deleteLater();
        answer(modal);
      }
    });
    timer->start(5);
  }

  static inline QApplication* app_ = nullptr;
  QWidget window_;
  QtDialogs dialogs_{&window_, "Fotoferry"};
};

TEST_F(QtDialogsTest, MessageBoxShowsTextAndAnswersTheButtonPressed) {
  QString title, text;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(dialogs_.Message("Format drive /media/card?", MessageKind::kConfirmation,
                             MessageButtons::kYesNo),
            MessageResult::kYes);
  EXPECT_EQ(title, "Fotoferry");
  EXPECT_EQ(text, "Format drive /media/card?");

  WhenModal([](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->reject(); });
  EXPECT_EQ(
      dialogs_.Message("Close Fotoferry?", MessageKind::kConfirmation, MessageButtons::kOkCancel),
      MessageResult::kCancel);
}

TEST_F(QtDialogsTest, InputBoxAnswersTheTextOnOkAndTheDefaultOnCancel) {
  int maxLength = 0;
  WhenModal([&](QWidget* modal) {
    auto* edit = modal->findChild<QLineEdit*>(kInputEditName);
    maxLength = edit->maxLength();
    edit->setText("Holiday ;\"x\"");
    modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  EXPECT_EQ(dialogs_.Input("Add freetext", "Enter freetext to your filename here", ""),
            "Holiday ;\"x\"");
  EXPECT_EQ(maxLength, 255);

  WhenModal([](QWidget* modal) {
    modal->findChild<QLineEdit*>(kInputEditName)->setText("typed");
    qobject_cast<QDialog*>(modal)->reject();
  });
  EXPECT_EQ(dialogs_.Input("Add freetext", "prompt", ""), "");
}

TEST(ScriptedDialogs, AnswersFromTheScriptAndRefusesUnscriptedBoxes) {
  ScriptedDialogs dialogs;
  dialogs.messageAnswers = {MessageResult::kOk};
  dialogs.inputAnswers = {"Portrait", kInputCancel};
  EXPECT_EQ(
      dialogs.Message("Close Fotoferry?", MessageKind::kConfirmation, MessageButtons::kOkCancel),
      MessageResult::kOk);
  EXPECT_EQ(dialogs.Input("c", "p", ""), "Portrait");
  EXPECT_EQ(dialogs.Input("c", "p", "default"), "default");
  EXPECT_EQ(dialogs.Messages(), (std::vector<std::string>{"Close Fotoferry?"}));
  EXPECT_THROW(dialogs.Message("again", MessageKind::kError, MessageButtons::kOk),
               std::logic_error);
  dialogs.cancelProgressAfter = 1;
  auto progress = dialogs.Progress("Importing");
  EXPECT_TRUE(progress->Update(1, 2, "a"));
  EXPECT_FALSE(progress->Update(2, 2, "b"));
}

}  // namespace
}  // namespace ff
