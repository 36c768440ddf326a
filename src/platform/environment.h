// What the program learns from the machine and the user's session: the
// domain, computer and user names, the local time zone and the regional date
// and time formats. Behind an interface so that tests can fix every answer.
#pragma once

#include <string>

#include "platform/datetime.h"

namespace ff {

class Environment {
 public:
  virtual ~Environment() = default;

  // USERDOMAIN, COMPUTERNAME and USERNAME when set in the process
  // environment; otherwise the system's domain name (empty when it has
  // none), host name and login name.
  virtual std::string DomainName() const = 0;
  virtual std::string ComputerName() const = 0;
  virtual std::string UserName() const = 0;

  // The user's regional short date and long time (LC_TIME's "%x" and "%X").
  virtual std::string ShortDate(const CalendarTime& time) const = 0;
  virtual std::string LongTime(const CalendarTime& time) const = 0;

  // Local calendar time of an instant, with the zone's offset at that very
  // instant; milliseconds truncated.
  virtual CalendarTime ToLocal(Instant instant) const = 0;
};

// The real environment of this process. Lives for the whole process.
const Environment& SystemEnvironment();

// The default date-time text: the short date, then a blank and the long time
// unless hour, minute and second are all zero.
std::string DefaultDateTimeText(const Environment& env, const CalendarTime& time);

// "%.4d" of the year and "%.2d" of the other fields: zero-padded, never cut.
std::string PadNumber(long long value, int digits);

}  // namespace ff
