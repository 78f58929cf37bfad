// The stamp read/advance/write cycle: RECONVERT changes nothing but the
// number positions, a stamp read whole and in the calendar reads back as the
// fields it was written from, and each advance moves the time forward.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "stamp/date_time.hpp"

using namespace stampwise;

namespace {

bool IsNumberPosition(int position) {
  return position != 5 && position != 8 && position != 11 && position != 14 && position != 17;
}

auto Key(const DateTimeFields& t) {
  return std::make_tuple(t.IYEAR, t.IMONTH, t.IDAY, t.IHOUR, t.IMINUTE, t.ISECOND);
}

bool Writable(const DateTimeFields& t) {
  auto in = [](std::int32_t v) { return v >= 0 && v <= 59; };
  return in(t.IYEAR - 2000) && in(t.IMONTH) && in(t.IDAY) && in(t.IHOUR) && in(t.IMINUTE) &&
         in(t.ISECOND);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size < 19 + 2) return 0;
  StampField stamp(std::string_view(reinterpret_cast<const char*>(bytes), 19));
  int steps = (bytes[19] << 8 | bytes[20]) % 1500;

  DateTimeFields time;
  CONVERT(stamp, time);
  for (int n = 0; n < steps; ++n) {
    StampField before = stamp;
    DateTimeFields earlier = time;
    ADVANCECLOCK(time);
    if (!(Key(earlier) < Key(time))) std::abort();
    RECONVERT(time, stamp);
    for (int p = 1; p <= 19; ++p)
      if (!IsNumberPosition(p) && stamp.At(p) != before.At(p)) std::abort();
    if (Writable(time)) {
      DateTimeFields read;
      if (!CONVERT(stamp, read) || Key(read) != Key(time)) std::abort();
    }
  }
  return 0;
}
