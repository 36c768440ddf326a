#include "import/naming_template.h"

#include <algorithm>
#include <optional>

#include "platform/text.h"

namespace ff {
namespace {

// Every token the expansion replaces, in the order of replacement.
enum Token : int {
  kSpc,
  kDomain,
  kComputer,
  kUser,
  kDate,
  kTime,
  kDateTime,
  kYear,
  kMonth,
  kDay,
  kHour,
  kMinute,
  kSecond,
  kFilename,
  kExtension,
  kCreationDate,
  kCreationTime,
  kCreationDateTime,
  kCreationYear,
  kCreationMonth,
  kCreationDay,
  kCreationHour,
  kCreationMinute,
  kCreationSecond,
  kTokenCount
};

constexpr std::array<std::string_view, kTokenCount> kTokens = {
    "{Spc}",
    "{System.Domainname}",
    "{System.Computername}",
    "{System.Username}",
    "{System.Date}",
    "{System.Time}",
    "{System.DateTime}",
    "{System.Year}",
    "{System.Month}",
    "{System.Day}",
    "{System.Hour}",
    "{System.Minute}",
    "{System.Second}",
    "{File.Filename}",
    "{File.FileExtension}",
    "{File.CreationDate}",
    "{File.CreationTime}",
    "{File.CreationDateTime}",
    "{File.CreationYear}",
    "{File.CreationMonth}",
    "{File.CreationDay}",
    "{File.CreationHour}",
    "{File.CreationMinute}",
    "{File.CreationSecond}",
};

bool IsClockToken(int token) { return token >= kDate && token <= kSecond; }

std::string CalendarValue(int token, const CalendarTime& t, const Environment& env) {
  switch (token) {
    case kDate:
    case kCreationDate:
      return env.ShortDate(t);
    case kTime:
    case kCreationTime:
      return env.LongTime(t);
    case kDateTime:
    case kCreationDateTime:
      return DefaultDateTimeText(env, t);
    case kYear:
    case kCreationYear:
      return PadNumber(t.year, 4);
    case kMonth:
    case kCreationMonth:
      return PadNumber(t.month, 2);
    case kDay:
    case kCreationDay:
      return PadNumber(t.day, 2);
    case kHour:
    case kCreationHour:
      return PadNumber(t.hour, 2);
    case kMinute:
    case kCreationMinute:
      return PadNumber(t.minute, 2);
    default:
      return PadNumber(t.second, 2);
  }
}

std::string TokenValue(int token, const TFileInfo& file, const Environment& env,
                       const Clock& clock) {
  switch (token) {
    case kSpc:
      return " ";
    case kDomain:
      return env.DomainName();
    case kComputer:
      return env.ComputerName();
    case kUser:
      return env.UserName();
    case kFilename:
      return file.FileName();
    case kExtension:
      return file.FileExtension();
    default:
      if (IsClockToken(token)) return CalendarValue(token, env.ToLocal(clock.Now()), env);
      return CalendarValue(token, file.CreationLocal(), env);
  }
}

// ":" becomes "." and "/" becomes "-"; inside a value also "\".
void AppendCleaned(std::string& out, std::string_view text, bool isValue) {
  if (text.find_first_of(isValue ? ":/\\" : ":/") == std::string_view::npos) {
    out += text;
    return;
  }
  for (char c : text) {
    if (c == ':')
      out += '.';
    else if (c == '/' || (isValue && c == '\\'))
      out += '-';
    else
      out += c;
  }
}

}  // namespace

std::string TemplateToStored(std::string_view listText) {
  std::string stored;
  stored.reserve(listText.size());
  for (char c : listText) {
    if (c == '\r')
      stored += ';';
    else if (c != '\n')
      stored += c;
  }
  while (!stored.empty() && stored.back() == ';') stored.pop_back();
  return stored;
}

std::string StoredToTemplate(std::string_view stored) { return ReplaceAll(stored, ";", "\r\n"); }

std::string RemoveSeparators(std::string_view text) { return ReplaceAll(text, ";", ""); }

std::vector<std::string> TemplateItems(std::string_view listText) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start < listText.size()) {
    size_t end = listText.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = listText.size();
    items.emplace_back(listText.substr(start, end - start));
    if (end < listText.size() && listText[end] == '\r') ++end;
    if (end < listText.size() && listText[end] == '\n') ++end;
    start = end;
  }
  return items;
}

std::string ItemsToTemplate(const std::vector<std::string>& items) { return LinesToText(items); }

std::string ExtensionText(std::string_view extension) {
  std::string text(extension);
  std::replace(text.begin(), text.end(), '\\', '-');
  return text;
}

std::string CounterText(long long number) { return "-" + PadNumber(number, 4); }

CompiledTemplate::CompiledTemplate(std::string_view listText) {
  const std::string text = RemoveSeparators(TemplateToStored(listText));
  std::array<bool, kTokenCount> active{};
  for (int t = 0; t < kTokenCount; ++t) active[t] = text.find(kTokens[t]) != std::string::npos;

  std::string literal;
  size_t i = 0;
  while (i < text.size()) {
    std::optional<int> hit;
    if (text[i] == '{') {
      for (int t = 0; t < kTokenCount && !hit; ++t) {
        if (active[t] && FindIgnoreAsciiCase(std::string_view(text).substr(i, kTokens[t].size()),
                                             kTokens[t]) == 0)
          hit = t;
      }
    }
    if (!hit) {
      literal += text[i++];
      continue;
    }
    if (!literal.empty()) segments_.push_back({-1, std::move(literal)});
    literal.clear();
    segments_.push_back({*hit, {}});
    i += kTokens[*hit].size();
  }
  if (!literal.empty()) segments_.push_back({-1, std::move(literal)});
}

std::string CompiledTemplate::Expand(const TFileInfo& file, const Environment& env,
                                     const Clock& clock) const {
  std::array<std::optional<std::string>, kTokenCount> values;
  std::string out;
  for (const Segment& segment : segments_) {
    if (segment.token < 0) {
      AppendCleaned(out, segment.text, false);
      continue;
    }
    auto& value = values[segment.token];
    if (!value) value = TokenValue(segment.token, file, env, clock);
    AppendCleaned(out, *value, true);
  }
  return out;
}

}  // namespace ff
