// The modal boxes the program asks the user with: message box, input box,
// folder chooser and progress with Cancel. Behind one interface so that the
// window is driven the same way by a person (QtDialogs) and by a test
// (ScriptedDialogs).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace ff {

enum class MessageKind { kError, kInformation, kConfirmation };
enum class MessageButtons { kOk, kOkCancel, kYesNo };
enum class MessageResult { kOk, kCancel, kYes, kNo };

struct FolderChoice {
  bool confirmed = false;
  std::string folder;
};

// Progress of one long piece of work, shown with a Cancel button.
class ProgressBox {
 public:
  virtual ~ProgressBox() = default;
  // Shows what is done; answers false once the user asked to cancel.
  virtual bool Update(std::uint64_t done, std::uint64_t total, const std::string& text) = 0;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A modal message box; answers the button pressed (closing the box
  // answers Cancel, or No).
  virtual MessageResult Message(const std::string& text, MessageKind kind,
                                MessageButtons buttons) = 0;
  // Caption, prompt and default text in; a one-line edit of at most 255
  // characters with OK and Cancel. Answers the text on OK, the default on
  // Cancel.
  virtual std::string Input(const std::string& caption, const std::string& prompt,
                            const std::string& defaultText) = 0;
  // Title and start folder in; whether the user confirmed a folder, and it.
  virtual FolderChoice ChooseFolder(const std::string& title, const std::string& start) = 0;
  // A progress box for one piece of work; it closes when released.
  virtual std::unique_ptr<ProgressBox> Progress(const std::string& title) = 0;
};

// Answers from a script, for tests: each call takes the next answer of its
// kind and records what it was asked. A call without a scripted answer
// throws std::logic_error, so a test never waits for a person.
class ScriptedDialogs : public Dialogs {
 public:
  struct Asked {
    std::string kind;     // "message", "input", "folder", "progress"
    std::string text;     // message text, input prompt, folder title
    std::string caption;  // input caption; message kind name
  };

  std::deque<MessageResult> messageAnswers;
  std::deque<std::string> inputAnswers;  // an answer of "\x18" means Cancel
  std::deque<FolderChoice> folderAnswers;
  // Progress updates after which the scripted user presses Cancel; -1 never.
  long cancelProgressAfter = -1;

  std::vector<Asked> asked;
  std::vector<std::string> progressTexts;

  MessageResult Message(const std::string& text, MessageKind kind, MessageButtons buttons) override;
  std::string Input(const std::string& caption, const std::string& prompt,
                    const std::string& defaultText) override;
  FolderChoice ChooseFolder(const std::string& title, const std::string& start) override;
  std::unique_ptr<ProgressBox> Progress(const std::string& title) override;

  // The texts of every message box shown so far.
  std::vector<std::string> Messages() const;
};

inline constexpr const char* kInputCancel = "\x18";

}  // namespace ff
