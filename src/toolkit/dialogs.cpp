#include "toolkit/dialogs.h"

#include <stdexcept>

namespace ff {
namespace {

const char* KindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::kError:
      return "error";
    case MessageKind::kInformation:
      return "information";
    default:
      return "confirmation";
  }
}

class ScriptedProgress : public ProgressBox {
 public:
  explicit ScriptedProgress(ScriptedDialogs& owner) : owner_(owner) {}
  bool Update(std::uint64_t, std::uint64_t, const std::string& text) override {
    owner_.progressTexts.push_back(text);
    ++updates_;
    return owner_.cancelProgressAfter < 0 || updates_ <= owner_.cancelProgressAfter;
  }

 private:
  ScriptedDialogs& owner_;
  long updates_ = 0;
};

}  // namespace

MessageResult ScriptedDialogs::Message(const std::string& text, MessageKind kind, MessageButtons) {
  asked.push_back({"message", text, KindName(kind)});
  if (messageAnswers.empty()) throw std::logic_error("unexpected message box: " + text);
  const MessageResult answer = messageAnswers.front();
  messageAnswers.pop_front();
  return answer;
}

std::string ScriptedDialogs::Input(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText) {
  asked.push_back({"input", prompt, caption});
  if (inputAnswers.empty()) throw std::logic_error("unexpected input box: " + prompt);
  std::string answer = inputAnswers.front();
  inputAnswers.pop_front();
  return answer == kInputCancel ? defaultText : answer.substr(0, 255);
}

FolderChoice ScriptedDialogs::ChooseFolder(const std::string& title, const std::string& start) {
  asked.push_back({"folder", title, start});
  if (folderAnswers.empty()) throw std::logic_error("unexpected folder chooser: " + title);
  FolderChoice answer = folderAnswers.front();
  folderAnswers.pop_front();
  return answer;
}

std::unique_ptr<ProgressBox> ScriptedDialogs::Progress(const std::string& title) {
  asked.push_back({"progress", title, {}});
  return std::make_unique<ScriptedProgress>(*this);
}

std::vector<std::string> ScriptedDialogs::Messages() const {
  std::vector<std::string> texts;
  for (const Asked& a : asked)
    if (a.kind == "message") texts.push_back(a.text);
  return texts;
}

}  // namespace ff
