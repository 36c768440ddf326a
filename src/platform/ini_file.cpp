#include "platform/ini_file.h"

#include <unistd.h>

#include <cerrno>

#include "platform/atomic_file.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace ff {
namespace {

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

enum class Kind { Other, Header, Entry };

struct Line {
  Kind kind = Kind::Other;
  std::string_view name;   // section or key
  std::string_view value;  // entries only
};

Line Classify(std::string_view text, bool first) {
  if (first && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  text = Trim(text);
  if (text.empty() || text.front() == ';') return {};
  if (text.front() == '[') {
    const size_t close = text.find(']');
    return {Kind::Header,
            Trim(text.substr(1, close == std::string_view::npos ? close : close - 1)),
            {}};
  }
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {};
  return {Kind::Entry, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

std::string Limited(std::string_view value) {
  size_t pos = 0;
  for (size_t count = 0; pos < value.size() && count < kIniValueLimit; ++count)
    DecodeUtf8(value, pos);
  return std::string(value.substr(0, pos));
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// Index range [begin, end) of the lines of each section of that name,
// header included.
std::vector<std::pair<size_t, size_t>> SectionRanges(const std::vector<std::string>& lines,
                                                     std::string_view section) {
  std::vector<std::pair<size_t, size_t>> ranges;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line line = Classify(lines[i], i == 0);
    if (line.kind != Kind::Header) continue;
    if (!ranges.empty() && ranges.back().second == lines.size()) ranges.back().second = i;
    if (EqualsIgnoreCase(line.name, section)) ranges.emplace_back(i, lines.size());
  }
  return ranges;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

}  // namespace

IniFile::IniFile(std::string path, std::string delivered)
    : path_(std::move(path)), delivered_(std::move(delivered)) {}

std::vector<std::string> IniFile::Lines() const {
  std::string text;
  int error = 0;
  if (!ReadWholeFile(path_, text, error) && error == ENOENT && !delivered_.empty())
    ReadWholeFile(delivered_, text, error);
  return SplitLines(text);
}

std::vector<std::pair<std::string, std::string>> IniFile::ReadSectionValues(
    std::string_view section) const {
  const std::vector<std::string> lines = Lines();
  std::vector<std::pair<std::string, std::string>> entries;
  const auto ranges = SectionRanges(lines, section);
  if (ranges.empty()) return entries;
  for (size_t i = ranges.front().first + 1; i < ranges.front().second; ++i) {
    const Line line = Classify(lines[i], false);
    if (line.kind == Kind::Entry) entries.emplace_back(line.name, Limited(line.value));
  }
  return entries;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  for (auto& entry : ReadSectionValues(section)) keys.push_back(std::move(entry.first));
  return keys;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  for (const auto& [name, value] : ReadSectionValues(section))
    if (EqualsIgnoreCase(name, key)) return value;
  return std::string(defaultValue);
}

template <typename Change>
void IniFile::Modify(Change change) {
  const auto fail = [&] { throw Error("Unable to write to " + path_); };
  const size_t slash = path_.rfind('/');
  int error = 0;
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path_.substr(0, slash), error))
    fail();
  FileLock lock(path_ + ".lock");
  if (!lock.locked()) fail();

  std::string text;
  if (!ReadWholeFile(path_, text, error)) {
    if (error != ENOENT) fail();  // never replace a file that could not be read
    if (!delivered_.empty()) ReadWholeFile(delivered_, text, error);  // copied on first write
  }
  const std::string lineEnd = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::vector<std::string> lines = SplitLines(text);
  if (!change(lines) && ::access(path_.c_str(), F_OK) == 0) return;

  std::string out;
  for (const std::string& line : lines) out += line + lineEnd;
  if (!ReplaceFile(path_, out, error)) fail();
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  key = Trim(key);
  if (HasLineBreak(section) || section.find(']') != section.npos || HasLineBreak(key) ||
      key.find('=') != key.npos || (!key.empty() && (key.front() == '[' || key.front() == ';')) ||
      HasLineBreak(value))
    throw Error("Unable to write to " + path_);

  Modify([&](std::vector<std::string>& lines) {
    const auto ranges = SectionRanges(lines, section);
    if (ranges.empty()) {
      if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
      lines.push_back("[" + std::string(section) + "]");
      lines.push_back(std::string(key) + "=" + std::string(value));
      return true;
    }
    const auto [begin, end] = ranges.front();
    size_t insertAt = begin + 1;
    for (size_t i = begin + 1; i < end; ++i) {
      const Line line = Classify(lines[i], false);
      if (line.kind == Kind::Entry && EqualsIgnoreCase(line.name, key)) {
        lines[i] = std::string(line.name) + "=" + std::string(value);  // keeps the key's spelling
        return true;
      }
      if (!Trim(lines[i]).empty()) insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                 std::string(key) + "=" + std::string(value));
    return true;
  });
}

void IniFile::EraseSection(std::string_view section) {
  Modify([&](std::vector<std::string>& lines) {
    const auto ranges = SectionRanges(lines, section);
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(it->first),
                  lines.begin() + static_cast<std::ptrdiff_t>(it->second));
    return !ranges.empty();
  });
}

std::string UserIniPath() { return JoinPath(ConfigFolder(), "fotoferry.ini"); }

std::string FindDeliveredIni(const std::string& executable) {
  const size_t slash = executable.rfind('/');
  if (slash == std::string::npos) return {};
  const std::string folder = executable.substr(0, slash);
  for (const std::string& candidate :
       {JoinPath(folder, "fotoferry.ini"), JoinPath(folder, "../share/fotoferry/fotoferry.ini")}) {
    if (::access(candidate.c_str(), R_OK) == 0) return candidate;
  }
  return {};
}

}  // namespace ff
