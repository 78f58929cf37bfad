#include "stamp/date_time.hpp"

namespace stampwise {

const char TWODIGITS[60][2] = {
    {'0', '0'}, {'0', '1'}, {'0', '2'}, {'0', '3'}, {'0', '4'}, {'0', '5'}, {'0', '6'},
    {'0', '7'}, {'0', '8'}, {'0', '9'}, {'1', '0'}, {'1', '1'}, {'1', '2'}, {'1', '3'},
    {'1', '4'}, {'1', '5'}, {'1', '6'}, {'1', '7'}, {'1', '8'}, {'1', '9'}, {'2', '0'},
    {'2', '1'}, {'2', '2'}, {'2', '3'}, {'2', '4'}, {'2', '5'}, {'2', '6'}, {'2', '7'},
    {'2', '8'}, {'2', '9'}, {'3', '0'}, {'3', '1'}, {'3', '2'}, {'3', '3'}, {'3', '4'},
    {'3', '5'}, {'3', '6'}, {'3', '7'}, {'3', '8'}, {'3', '9'}, {'4', '0'}, {'4', '1'},
    {'4', '2'}, {'4', '3'}, {'4', '4'}, {'4', '5'}, {'4', '6'}, {'4', '7'}, {'4', '8'},
    {'4', '9'}, {'5', '0'}, {'5', '1'}, {'5', '2'}, {'5', '3'}, {'5', '4'}, {'5', '5'},
    {'5', '6'}, {'5', '7'}, {'5', '8'}, {'5', '9'},
};

namespace {

// Month lengths indexed 1..12; February's is decided at each day carry.
constexpr std::int32_t MONTHDAYS[13] = {0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The positions of the six number pieces, in the order of the fields.
constexpr int kYearAt = 3, kMonthAt = 6, kDayAt = 9, kHourAt = 12, kMinuteAt = 15,
              kSecondAt = 18;

bool PieceIs(const StampField& stamp, int at, int i) {
  return stamp.At(at) == TWODIGITS[i][0] && stamp.At(at + 1) == TWODIGITS[i][1];
}

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

}  // namespace

std::int32_t MonthLength(std::int32_t month, std::int32_t year) {
  if (month == 2) return year % 4 == 0 ? 29 : 28;
  if (month < 1 || month > 12) return 31;
  return MONTHDAYS[month];
}

bool CONVERT(const StampField& STAMP, DateTimeFields& time) {
  bool read[6] = {false, false, false, false, false, false};
  for (int i = 0; i < 60; ++i) {
    if (PieceIs(STAMP, kYearAt, i)) time.IYEAR = 2000 + i, read[0] = true;
    if (PieceIs(STAMP, kMonthAt, i)) time.IMONTH = i, read[1] = true;
    if (PieceIs(STAMP, kDayAt, i)) time.IDAY = i, read[2] = true;
    if (PieceIs(STAMP, kHourAt, i)) time.IHOUR = i, read[3] = true;
    if (PieceIs(STAMP, kMinuteAt, i)) time.IMINUTE = i, read[4] = true;
    if (PieceIs(STAMP, kSecondAt, i)) time.ISECOND = i, read[5] = true;
  }
  for (bool r : read)
    if (!r) return false;
  return true;
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
  for (std::int32_t value : {time.IYEAR - 2000, time.IMONTH, time.IDAY, time.IHOUR, time.IMINUTE,
                             time.ISECOND})
    if (value < 0 || value > 59) return false;
  return true;
}

void RECONVERT(const DateTimeFields& time, StampField& STAMP) {
  for (int i = 0; i < 60; ++i) {
    if (time.IYEAR - 2000 == i) {
      STAMP.Set(1, '2');
      STAMP.Set(2, '0');
      WritePiece(STAMP, kYearAt, i);
    }
    if (time.IMONTH == i) WritePiece(STAMP, kMonthAt, i);
    if (time.IDAY == i) WritePiece(STAMP, kDayAt, i);
    if (time.IHOUR == i) WritePiece(STAMP, kHourAt, i);
    if (time.IMINUTE == i) WritePiece(STAMP, kMinuteAt, i);
    if (time.ISECOND == i) WritePiece(STAMP, kSecondAt, i);
  }
}

}  // namespace stampwise
