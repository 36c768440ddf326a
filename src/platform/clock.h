// The wall clock behind a small interface, so that tests can fix it.
#pragma once

#include "platform/datetime.h"

namespace ff {

class Clock {
 public:
  virtual ~Clock() = default;
  // The current instant, UTC.
  virtual Instant Now() const = 0;
};

// The real clock (CLOCK_REALTIME). Lives for the whole process.
const Clock& SystemClock();

}  // namespace ff
