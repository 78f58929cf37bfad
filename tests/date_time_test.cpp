#include "stamp/date_time.hpp"

#include <gtest/gtest.h>

#include <string>

namespace stampwise {
namespace {

// Reads `stamp` (after the fields `before` left by an earlier picture),
// advances `seconds` times and writes the stamp back.
std::string Advanced(const std::string& stamp, int seconds = 1,
                     DateTimeFields before = DateTimeFields()) {
  StampField field(stamp);
  CONVERT(field, before);
  for (int i = 0; i < seconds; ++i) ADVANCECLOCK(before);
  RECONVERT(before, field);
  return std::string(field.View());
}

TEST(ClockAdvance, CarriesThroughTheCalendar) {
  EXPECT_EQ(Advanced("2015-12-31 23-59-59"), "2016-01-01 00-00-00");
  EXPECT_EQ(Advanced("2015-05-03 10-20-30"), "2015-05-03 10-20-31");
  EXPECT_EQ(Advanced("2015-05-03 10-59-59"), "2015-05-03 11-00-00");
  EXPECT_EQ(Advanced("2016-02-28 23-59-59"), "2016-02-29 00-00-00");
  EXPECT_EQ(Advanced("2015-02-28 23-59-59"), "2015-03-01 00-00-00");
  EXPECT_EQ(Advanced("2016-02-29 23-59-59"), "2016-03-01 00-00-00");
  EXPECT_EQ(Advanced("2015-04-30 23-59-59"), "2015-05-01 00-00-00");
  EXPECT_EQ(Advanced("2015-03-31 23-59-59"), "2015-04-01 00-00-00");
  EXPECT_EQ(Advanced("2015-03-30 23-59-59"), "2015-03-31 00-00-00");
  // No century rule: 2000 is a leap year here, as every year divisible by 4.
  EXPECT_EQ(Advanced("2000-02-28 23-59-59"), "2000-02-29 00-00-00");
  // A whole day of seconds.
  EXPECT_EQ(Advanced("2015-05-03 10-20-30", 86400), "2015-05-04 10-20-30");
}

TEST(Reconvert, ChangesOnlyTheNumberPositions) {
  EXPECT_EQ(Advanced("1915_05x03T10:20.30"), "2015_05x03T10:20.31");
  EXPECT_EQ(Advanced("19 5-05-03 10-20-30"), "19 5-05-03 10-20-31");  // year unread
  EXPECT_EQ(Advanced("2015/12/31 23h59m59"), "2016/01/01 00h00m00");
  // A field outside 0..59 is not written: the year 2060 keeps "2059".
  EXPECT_EQ(Advanced("2059-12-31 23-59-59"), "2059-01-01 00-00-00");
}

TEST(Convert, ReportsAndKeepsPiecesItCannotRead) {
  DateTimeFields fields;
  EXPECT_TRUE(CONVERT(StampField("2015-05-03 10-20-30"), fields));
  EXPECT_FALSE(CONVERT(StampField("2015-05-03 10-6x-30"), fields));
  EXPECT_FALSE(CONVERT(StampField("2015-05-03 10-20- 1"), fields));
  EXPECT_FALSE(CONVERT(StampField("2060-05-03 10-20-30"), fields));

  // Unread minute: the previous picture's value stays, 0 for the first.
  EXPECT_EQ(Advanced("2015-05-03 10-6x-30"), "2015-05-03 10-00-31");
  DateTimeFields previous{2014, 1, 2, 3, 44, 5};
  EXPECT_EQ(Advanced("2015-05-03 10-6x-30", 1, previous), "2015-05-03 10-44-31");
  // A year of 60 or more is not read: the year before stays.
  EXPECT_EQ(Advanced("2060-05-03 10-20-30", 1, previous), "2014-05-03 10-20-31");
  // Nothing readable at all, first picture: all 0, one second on.
  EXPECT_EQ(Advanced("abcd-ef-gh ij-kl-mn"), "abcd-00-00 00-00-01");
}

TEST(ClockAdvance, TakesOutOfCalendarValuesUnchecked) {
  // An hour of 24 to 59 never equals 24 again: it counts on, without a day
  // carry, and past 59 its digits stay as they were.
  EXPECT_EQ(Advanced("2015-05-03 30-59-59"), "2015-05-03 31-00-00");
  EXPECT_EQ(Advanced("2015-05-03 59-59-59"), "2015-05-03 59-00-00");
  DateTimeFields fields;
  CONVERT(StampField("2015-05-03 59-59-59"), fields);
  ADVANCECLOCK(fields);
  EXPECT_EQ(fields.IHOUR, 60);
  EXPECT_EQ(fields.IDAY, 3);
}

TEST(ClockAdvance, MonthOutsideTheTableIsThirtyOneDaysLong) {
  EXPECT_EQ(MonthLength(0, 2015), 31);
  EXPECT_EQ(MonthLength(13, 2015), 31);
  EXPECT_EQ(MonthLength(59, 2016), 31);
  EXPECT_EQ(MonthLength(-1, 2016), 31);
  EXPECT_EQ(Advanced("2015-13-31 23-59-59"), "2016-01-01 00-00-00");
  EXPECT_EQ(Advanced("2015-13-30 23-59-59"), "2015-13-31 00-00-00");
  EXPECT_EQ(Advanced("2015-00-31 23-59-59"), "2015-01-01 00-00-00");
  EXPECT_EQ(Advanced("2015-45-31 23-59-59"), "2016-01-01 00-00-00");
}

}  // namespace
}  // namespace stampwise
