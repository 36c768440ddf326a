// The error the program raises where a failure ends the user's action; its
// message is the text the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace ff {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The system's message for an errno value.
std::string ErrnoText(int code);

// "System Error.  Code: <code>.\r\n<system message>", the form in which a
// failed file lookup is reported.
std::string SystemErrorText(int code);

}  // namespace ff
