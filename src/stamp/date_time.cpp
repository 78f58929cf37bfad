#include "stamp/date_time.hpp"

namespace stampwise {

namespace {

// "00" to "59": entry i is the two-digit form of i.
const char TWODIGITS[60][2] = {
    {'0', '0'}, {'0', '1'}, {'0', '2'}, {'0', '3'}, {'0', '4'}, {'0', '5'}, {'0', '6'}, {'0', '7'},
    {'0', '8'}, {'0', '9'}, {'1', '0'}, {'1', '1'}, {'1', '2'}, {'1', '3'}, {'1', '4'}, {'1', '5'},
    {'1', '6'}, {'1', '7'}, {'1', '8'}, {'1', '9'}, {'2', '0'}, {'2', '1'}, {'2', '2'}, {'2', '3'},
    {'2', '4'}, {'2', '5'}, {'2', '6'}, {'2', '7'}, {'2', '8'}, {'2', '9'}, {'3', '0'}, {'3', '1'},
    {'3', '2'}, {'3', '3'}, {'3', '4'}, {'3', '5'}, {'3', '6'}, {'3', '7'}, {'3', '8'}, {'3', '9'},
    {'4', '0'}, {'4', '1'}, {'4', '2'}, {'4', '3'}, {'4', '4'}, {'4', '5'}, {'4', '6'}, {'4', '7'},
    {'4', '8'}, {'4', '9'}, {'5', '0'}, {'5', '1'}, {'5', '2'}, {'5', '3'}, {'5', '4'}, {'5', '5'},
    {'5', '6'}, {'5', '7'}, {'5', '8'}, {'5', '9'},
};

// Month lengths indexed 1..12; February's is decided at each day carry.
constexpr std::int32_t MONTHDAYS[13] = {0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The positions of the six number pieces, in the order of the fields.
constexpr int kYearAt = 3, kMonthAt = 6, kDayAt = 9, kHourAt = 12, kMinuteAt = 15, kSecondAt = 18;

void WritePiece(StampField& stamp, int at, int i) {
  stamp.Set(at, TWODIGITS[i][0]);
  stamp.Set(at + 1, TWODIGITS[i][1]);
}

// Steps one field on; true when it carried into the next one.
bool StepEqual(std::int32_t& field, std::int32_t limit, std::int32_t reset) {
  ++field;
  if (field != limit) return false;
  field = reset;
  return true;
}

// Whether TWODIGITS has an entry for the value.
bool InTable(std::int32_t value) { return value >= 0 && value < 60; }

// The entry of TWODIGITS that the piece at `at` equals, or -1. The table
// holds the two-digit forms of 0 to 59 in order: a piece equals entry
// 10 * tens + units exactly when its tens are "0" to "5" and its units "0"
// to "9", so the digits find it without a search.
int EntryAt(const StampField& stamp, int at) {
  int tens = stamp.At(at) - '0', units = stamp.At(at + 1) - '0';
  if (tens < 0 || tens > 5 || units < 0 || units > 9) return -1;
  return tens * 10 + units;
}

}  // namespace

std::int32_t MonthLength(std::int32_t month, std::int32_t year) {
  if (month == 2) return year % 4 == 0 ? 29 : 28;
  if (month < 1 || month > 12) return 31;
  return MONTHDAYS[month];
}

bool CONVERT(const StampField& STAMP, DateTimeFields& time) {
  const int at[6] = {kYearAt, kMonthAt, kDayAt, kHourAt, kMinuteAt, kSecondAt};
  std::int32_t* fields[6] = {&time.IYEAR, &time.IMONTH,  &time.IDAY,
                             &time.IHOUR, &time.IMINUTE, &time.ISECOND};
  bool all = true;
  for (int f = 0; f < 6; ++f) {
    int i = EntryAt(STAMP, at[f]);
    if (i < 0) {
      all = false;  // the field keeps the value it had
      continue;
    }
    *fields[f] = f == 0 ? 2000 + i : i;
  }
  return all;
}

void ADVANCECLOCK(DateTimeFields& time) {
  // Second, minute and hour carry when they reach exactly 60, 60 and 24.
  if (!StepEqual(time.ISECOND, 60, 0)) return;
  if (!StepEqual(time.IMINUTE, 60, 0)) return;
  if (!StepEqual(time.IHOUR, 24, 0)) return;
  // Day and month carry when they exceed the month's length and 12.
  if (++time.IDAY <= MonthLength(time.IMONTH, time.IYEAR)) return;
  time.IDAY = 1;
  if (++time.IMONTH <= 12) return;
  time.IMONTH = 1;
  ++time.IYEAR;
}

bool CanWrite(const DateTimeFields& time) {
  return InTable(time.IYEAR - 2000) && InTable(time.IMONTH) && InTable(time.IDAY) &&
         InTable(time.IHOUR) && InTable(time.IMINUTE) && InTable(time.ISECOND);
}

void RECONVERT(const DateTimeFields& time, StampField& STAMP) {
  if (InTable(time.IYEAR - 2000)) {
    STAMP.Set(1, '2');
    STAMP.Set(2, '0');
    WritePiece(STAMP, kYearAt, time.IYEAR - 2000);
  }
  if (InTable(time.IMONTH)) WritePiece(STAMP, kMonthAt, time.IMONTH);
  if (InTable(time.IDAY)) WritePiece(STAMP, kDayAt, time.IDAY);
  if (InTable(time.IHOUR)) WritePiece(STAMP, kHourAt, time.IHOUR);
  if (InTable(time.IMINUTE)) WritePiece(STAMP, kMinuteAt, time.IMINUTE);
  if (InTable(time.ISECOND)) WritePiece(STAMP, kSecondAt, time.ISECOND);
}

}  // namespace stampwise
