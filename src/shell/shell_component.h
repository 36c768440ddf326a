// What the shell components share: the error state of their last Execute
// and the notification called after a failed one.
#pragma once

#include <functional>
#include <string>

#include "platform/error.h"

namespace ff {

class TSsShellComponent {
 public:
  virtual ~TSsShellComponent() = default;

  // 0 after a successful Execute; otherwise the errno value (or 1223 for a
  // cancel) of the failure.
  int ErrorCode() const { return errorCode_; }
  // The system's text for ErrorCode; empty when there is none.
  const std::string& ErrorText() const { return errorText_; }

  // Called after a failed Execute, when set.
  std::function<void(TSsShellComponent& sender)> OnError;

 protected:
  void SetError(int code, std::string text) {
    errorCode_ = code;
    errorText_ = std::move(text);
  }
  void NotifyError() {
    if (errorCode_ != 0 && OnError) OnError(*this);
  }

 private:
  int errorCode_ = 0;
  std::string errorText_;
};

// A request a file operation refuses before touching any file.
class ESsFileOpError : public Error {
 public:
  using Error::Error;
};

// A drive the format component refuses.
class ESsShellFormatError : public Error {
 public:
  using Error::Error;
};

// The error code of a cancelled operation.
inline constexpr int kErrorCancelled = 1223;

}  // namespace ff
