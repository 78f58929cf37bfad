// The time stamp at the start of a picture name, and the six date-time
// fields read from it, advanced one second at a time, and written back.
//
// Stamp layout, positions counted from 1:
//   1-2 century ("20" when written)   3-4 year     5 separator
//   6-7 month   8 separator   9-10 day   11 separator
//   12-13 hour  14 separator  15-16 minute  17 separator  18-19 second
// The separators are whatever the picture name carries; they are never
// read or written. Numbers go through TWODIGITS only: "00" to "59".
#ifndef STAMPWISE_STAMP_DATE_TIME_HPP
#define STAMPWISE_STAMP_DATE_TIME_HPP

#include <cstdint>

#include "console/text_field.hpp"

namespace stampwise {

// The date-time fields. They live for the whole run and are not cleared
// between pictures: a piece of a stamp that cannot be read leaves its field
// as the picture before left it (0 before the first).
struct DateTimeFields {
  std::int32_t IYEAR = 0;  // full year, 2000-2059 when read from a stamp
  std::int32_t IMONTH = 0;
  std::int32_t IDAY = 0;
  std::int32_t IHOUR = 0;
  std::int32_t IMINUTE = 0;
  std::int32_t ISECOND = 0;
};

// Days in month m (1..12) of the given year: February has 29 days when the
// year is divisible by 4. A month outside 1..12 has no length of its own;
// it is taken as 31 days long.
std::int32_t MonthLength(std::int32_t month, std::int32_t year);

// Reads the six number pieces of STAMP into the fields. A piece that is not
// one of "00" to "59" leaves its field untouched. Returns true when all six
// were read.
bool CONVERT(const StampField& STAMP, DateTimeFields& time);

// Moves the fields one second forward, with second, minute, hour, day, month
// and year carries. Values are taken as they are: an hour of 30 counts on.
void ADVANCECLOCK(DateTimeFields& time);

// Whether RECONVERT can write every field: each from 0 to 59, the year from
// 2000 to 2059.
bool CanWrite(const DateTimeFields& time);

// Writes the fields back into the number positions of STAMP. A field outside
// 0..59 (a year outside 2000-2059) leaves its positions as they were.
void RECONVERT(const DateTimeFields& time, StampField& STAMP);

}  // namespace stampwise

#endif  // STAMPWISE_STAMP_DATE_TIME_HPP
