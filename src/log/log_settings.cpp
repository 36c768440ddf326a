#include "log/log_settings.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/environment.h"
#include "platform/error.h"
#include "platform/text.h"

namespace ff {
namespace {

template <typename Read>
void ReadIf(Registry& key, const char* name, std::initializer_list<RegDataType> types, Read read) {
  const auto type = key.GetDataType(name);
  if (!type || std::find(types.begin(), types.end(), *type) == types.end()) return;
  try {
    read();
  } catch (const Error&) {
    // changed by another process since the type was looked at: as missing
  }
}

bool IsTextFileName(std::string_view name) {
  return name.size() >= 4 && EqualsIgnoreCase(name.substr(name.size() - 4), ".txt");
}

}  // namespace

void ReadLogSettings(Registry& key, LogSettings& s) {
  const auto number = {RegDataType::Integer};
  ReadIf(key, "LogKeepDays", number, [&] { s.LogKeepDays = key.ReadInteger("LogKeepDays"); });
  ReadIf(key, "LogPath", {RegDataType::String, RegDataType::ExpandString},
         [&] { s.LogPath = key.ReadString("LogPath"); });
  ReadIf(key, "UseDebugLog", number, [&] { s.UseDebugLog = key.ReadBool("UseDebugLog"); });
  ReadIf(key, "UseErrorLog", number, [&] { s.UseErrorLog = key.ReadBool("UseErrorLog"); });
  ReadIf(key, "UseInfoLog", number, [&] { s.UseInfoLog = key.ReadBool("UseInfoLog"); });
}

void WriteLogSettings(Registry& key, const LogSettings& s) {
  key.WriteInteger("LogKeepDays", s.LogKeepDays);
  key.WriteString("LogPath", s.LogPath);
  key.WriteBool("UseDebugLog", s.UseDebugLog);
  key.WriteBool("UseErrorLog", s.UseErrorLog);
  key.WriteBool("UseInfoLog", s.UseInfoLog);
}

std::string RetentionCutoff(const CalendarTime& today, std::int32_t keepDays) {
  const std::int64_t day =
      DaysFromCivil(today.year, today.month, today.day) - std::max<std::int64_t>(keepDays, 0);
  if (day < DaysFromCivil(1, 1, 1)) return {};
  const CalendarTime cutoff = DecodeDateTime(static_cast<DateTime>(day));
  return PadNumber(cutoff.year, 4) + PadNumber(cutoff.month, 2) + PadNumber(cutoff.day, 2);
}

int SweepLogFolder(const std::string& folder, const std::string& cutoff) {
  if (folder.empty()) return 0;
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return 0;
  DIR* dir = ::fdopendir(dirFd);
  if (!dir) {
    ::close(dirFd);
    return 0;
  }
  std::vector<std::string> selected;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (IsTextFileName(name) && name.substr(0, 8) < std::string_view(cutoff))
      selected.emplace_back(name);
  }
  for (const std::string& name : selected) ::unlinkat(dirFd, name.c_str(), 0);
  ::closedir(dir);  // closes dirFd
  return static_cast<int>(selected.size());
}

}  // namespace ff
