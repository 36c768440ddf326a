#include "platform/autostart.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/atomic_file.h"
#include "platform/error.h"
#include "platform/paths.h"

namespace ff {
namespace {

bool UsableName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name)
    if (c == '/' || static_cast<unsigned char>(c) < 0x20) return false;
  return true;
}

[[noreturn]] void Fail(const char* what, std::string_view name) {
  throw Error(std::string(what) + " '" + std::string(name) + "'");
}

}  // namespace

std::string DefaultAutostartFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string base =
      (config && config[0] == '/') ? std::string(config) : JoinPath(HomeFolder(), ".config");
  return JoinPath(base, "autostart");
}

std::string ExecLineFor(std::string_view program) {
  // The argument quoted, with ", `, $ and \ escaped inside the quotes; "%"
  // doubled so it is no field code; then the escapes of a string value.
  std::string quoted = "\"";
  for (char c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  std::string value;
  for (char c : quoted) {
    switch (c) {
      case '\\':
        value += "\\\\";
        break;
      case '\n':
        value += "\\n";
        break;
      case '\t':
        value += "\\t";
        break;
      case '\r':
        value += "\\r";
        break;
      default:
        value += c;
    }
  }
  return value;
}

std::string ProgramOfExecLine(std::string_view exec) {
  std::string value;
  for (size_t i = 0; i < exec.size(); ++i) {
    if (exec[i] != '\\' || i + 1 == exec.size()) {
      value += exec[i];
      continue;
    }
    switch (exec[++i]) {
      case 's':
        value += ' ';
        break;
      case 'n':
        value += '\n';
        break;
      case 't':
        value += '\t';
        break;
      case 'r':
        value += '\r';
        break;
      case '\\':
        value += '\\';
        break;
      default:
        value += '\\', value += exec[i];
    }
  }
  std::string program;
  size_t i = 0;
  while (i < value.size() && value[i] == ' ') ++i;
  const bool quoted = i < value.size() && value[i] == '"';
  for (i += quoted ? 1 : 0; i < value.size(); ++i) {
    const char c = value[i];
    if (quoted && c == '"') break;
    if (!quoted && c == ' ') break;
    if (quoted && c == '\\' && i + 1 < value.size()) {
      program += value[++i];
    } else if (c == '%' && i + 1 < value.size() && value[i + 1] == '%') {
      program += value[i++];
    } else {
      program += c;
    }
  }
  return program;
}

AutostartFolder::AutostartFolder(std::string folder) : folder_(std::move(folder)) {}

std::string AutostartFolder::EntryPath(std::string_view name) const {
  return JoinPath(folder_, std::string(name) + ".desktop");
}

bool AutostartFolder::ValueExists(std::string_view name) const {
  return UsableName(name) && ::access(EntryPath(name).c_str(), F_OK) == 0;
}

std::string AutostartFolder::ReadString(std::string_view name) const {
  std::string text;
  int error = 0;
  if (!UsableName(name) || !ReadWholeFile(EntryPath(name), text, error))
    Fail("Failed to get data for", name);
  bool inEntry = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
    } else if (inEntry && line.substr(0, 4) == "Exec") {
      std::string_view rest = line.substr(4);
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
      if (!rest.empty() && rest.front() == '=') return ProgramOfExecLine(rest.substr(1));
    }
    start = end + 1;
  }
  return {};
}

void AutostartFolder::WriteString(std::string_view name, std::string_view executable) {
  int error = 0;
  if (!UsableName(name) || !MakeFolders(folder_, error)) Fail("Failed to set data for", name);
  const std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=" +
      std::string(name) +
      "\n"
      "Exec=" +
      ExecLineFor(executable) +
      "\n"
      "Terminal=false\n"
      "X-GNOME-Autostart-enabled=true\n";
  if (!ReplaceFile(EntryPath(name), entry, error)) Fail("Failed to set data for", name);
}

bool AutostartFolder::DeleteValue(std::string_view name) {
  return UsableName(name) && ::unlink(EntryPath(name).c_str()) == 0;
}

}  // namespace ff
