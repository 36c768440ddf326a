#include "platform/environment.h"

#include <locale.h>
#include <pwd.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace ff {
namespace {

std::string EnvOr(const char* name, std::string (*fallback)()) {
  if (const char* value = std::getenv(name)) return value;
  return fallback();
}

std::string SystemDomain() {
  char buffer[256] = {};
  if (getdomainname(buffer, sizeof buffer - 1) != 0) return {};
  std::string name = buffer;
  return name == "(none)" ? std::string() : name;
}

std::string SystemHost() {
  char buffer[256] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) return {};
  return buffer;
}

std::string SystemLogin() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
    return found->pw_name;
  if (const char* user = std::getenv("USER")) return user;
  return {};
}

std::tm ToTm(const CalendarTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  // Day of week and of year, which some regional formats name.
  const std::int64_t days = DaysFromCivil(t.year, t.month, t.day);
  tm.tm_wday = static_cast<int>(((days + 6) % 7 + 7) % 7);  // 1899-12-30 was a Saturday
  tm.tm_yday = static_cast<int>(days - DaysFromCivil(t.year, 1, 1));
  tm.tm_isdst = -1;
  return tm;
}

class RealEnvironment final : public Environment {
 public:
  RealEnvironment() {
    locale_ = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (!locale_) locale_ = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    tzset();
  }
  ~RealEnvironment() override {
    if (locale_) freelocale(locale_);
  }
  RealEnvironment(const RealEnvironment&) = delete;
  RealEnvironment& operator=(const RealEnvironment&) = delete;

  std::string DomainName() const override { return EnvOr("USERDOMAIN", SystemDomain); }
  std::string ComputerName() const override { return EnvOr("COMPUTERNAME", SystemHost); }
  std::string UserName() const override { return EnvOr("USERNAME", SystemLogin); }

  std::string ShortDate(const CalendarTime& time) const override { return Format("%x", time); }
  std::string LongTime(const CalendarTime& time) const override { return Format("%X", time); }

  CalendarTime ToLocal(Instant instant) const override {
    const time_t seconds = static_cast<time_t>(instant.seconds);
    std::tm tm{};
    CalendarTime t;
    if (!localtime_r(&seconds, &tm)) return t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = instant.nanoseconds / 1'000'000;
    return t;
  }

 private:
  std::string Format(const char* format, const CalendarTime& time) const {
    const std::tm tm = ToTm(time);
    char buffer[256];
    const size_t n = locale_ ? strftime_l(buffer, sizeof buffer, format, &tm, locale_)
                             : strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
  }

  locale_t locale_ = nullptr;
};

}  // namespace

const Environment& SystemEnvironment() {
  static const RealEnvironment environment;
  return environment;
}

std::string DefaultDateTimeText(const Environment& env, const CalendarTime& time) {
  std::string text = env.ShortDate(time);
  if (time.hour != 0 || time.minute != 0 || time.second != 0) {
    text += ' ';
    text += env.LongTime(time);
  }
  return text;
}

std::string PadNumber(long long value, int digits) {
  std::string text = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(text.size()) < digits)
    text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
  if (value < 0) text.insert(0, 1, '-');
  return text;
}

}  // namespace ff
