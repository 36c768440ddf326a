#include "platform/error.h"

#include <cstring>

namespace ff {

std::string ErrnoText(int code) {
  char buffer[256];
  // GNU strerror_r returns the message, which need not be in buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  return text ? text : "Unknown error " + std::to_string(code);
}

std::string SystemErrorText(int code) {
  return "System Error.  Code: " + std::to_string(code) + ".\r\n" + ErrnoText(code);
}

}  // namespace ff
