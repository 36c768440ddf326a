#include "platform/clock.h"

#include <time.h>

namespace ff {
namespace {

class RealClock final : public Clock {
 public:
  Instant Now() const override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return Instant{ts.tv_sec, static_cast<std::int32_t>(ts.tv_nsec)};
  }
};

}  // namespace

const Clock& SystemClock() {
  static const RealClock clock;
  return clock;
}

}  // namespace ff
