#include "files/date.h"

#include <gtest/gtest.h>
#include <time.h>

#include <cmath>
#include <string>

#include "core/object_model.h"
#include "files_test_support.h"
#include "platform/win32.h"

namespace {

constexpr int64_t kTicksPerSecond = 10000000;

// A date set to a calendar moment through TotalSeconds (seconds since 1904-01-01 00:00).
struct Moment {
  int year, month, day, hour, minute, second;
};

double SecondsSince1904(const Moment& m) {
  SYSTEMTIME calendar = {static_cast<WORD>(m.year), static_cast<WORD>(m.month), 0, static_cast<WORD>(m.day),
                         static_cast<WORD>(m.hour), static_cast<WORD>(m.minute), static_cast<WORD>(m.second), 0};
  SYSTEMTIME start = {1904, 1, 0, 1, 0, 0, 0, 0};
  FILETIME a, b;
  EXPECT_TRUE(SystemTimeToFileTime(&calendar, &a));
  EXPECT_TRUE(SystemTimeToFileTime(&start, &b));
  uint64_t ta = (uint64_t(a.dwHighDateTime) << 32) | a.dwLowDateTime;
  uint64_t tb = (uint64_t(b.dwHighDateTime) << 32) | b.dwLowDateTime;
  return static_cast<double>(static_cast<int64_t>(ta - tb) / kTicksPerSecond);
}

class DateTest : public ::testing::Test {
 protected:
  RuntimeObject* Make(double seconds) {
    RuntimeObject* date = NewDate(0);
    dateTotalSecondsSetter(date, seconds);
    dates_.push_back(date);
    return date;
  }
  void TearDown() override {
    for (RuntimeObject* date : dates_) RuntimeUnlockObject(date);
  }
  std::vector<RuntimeObject*> dates_;
};

std::vector<int> Fields(RuntimeObject* date) {
  std::vector<int> fields;
  for (int selector = 0; selector <= 8; selector++) fields.push_back(dateFieldGetter(date, selector));
  return fields;
}

TEST_F(DateTest, FieldsAndTextForms) {
  const struct {
    Moment moment;
    std::vector<int> fields;  // Year .. Second, DayOfWeek, DayOfYear, WeekOfYear
    const char *shortDate, *longDate, *shortTime, *longTime;
  } cases[] = {
      {{1904, 1, 1, 0, 0, 0}, {1904, 1, 1, 0, 0, 0, 6, 1, 1}, "1/1/1904", "Friday, January 01, 1904", "12:00 AM",
       "12:00:00 AM"},
      {{2024, 12, 31, 23, 59, 59}, {2024, 12, 31, 23, 59, 59, 3, 366, 53}, "12/31/2024", "Tuesday, December 31, 2024",
       "11:59 PM", "11:59:59 PM"},
      {{2023, 12, 31, 12, 5, 7}, {2023, 12, 31, 12, 5, 7, 1, 365, 53}, "12/31/2023", "Sunday, December 31, 2023",
       "12:05 PM", "12:05:07 PM"},
      {{2000, 2, 29, 9, 30, 0}, {2000, 2, 29, 9, 30, 0, 3, 60, 10}, "2/29/2000", "Tuesday, February 29, 2000",
       "9:30 AM", "9:30:00 AM"},
      {{1903, 12, 31, 13, 0, 1}, {1903, 12, 31, 13, 0, 1, 5, 365, 53}, "12/31/1903", "Thursday, December 31, 1903",
       "1:00 PM", "1:00:01 PM"},
  };
  for (const auto& c : cases) {
    RuntimeObject* date = Make(SecondsSince1904(c.moment));
    EXPECT_EQ(Fields(date), c.fields) << c.shortDate;
    EXPECT_EQ(Take(dateStringGetter(date, 0)), c.shortDate);
    EXPECT_EQ(Take(dateStringGetter(date, 1)), c.longDate);
    EXPECT_EQ(Take(dateStringGetter(date, 2)), c.shortDate);
    EXPECT_EQ(Take(dateStringGetter(date, 3)), c.shortTime);
    EXPECT_EQ(Take(dateStringGetter(date, 4)), c.longTime);
    EXPECT_EQ(dateStringGetter(date, 5), nullptr);
    EXPECT_EQ(dateFieldGetter(date, 9), 0);
    EXPECT_EQ(dateTotalSecondsGetter(date), SecondsSince1904(c.moment));
  }
}

TEST_F(DateTest, TotalSecondsZeroIsTheReference) {
  RuntimeObject* date = Make(0);
  EXPECT_EQ(Fields(date), (std::vector<int>{1904, 1, 1, 0, 0, 0, 6, 1, 1}));
  dateTotalSecondsSetter(date, 1.5);
  EXPECT_EQ(dateTotalSecondsGetter(date), 1.5);
  dateTotalSecondsSetter(date, -0.5);  // truncated toward zero in 100-ns units
  EXPECT_EQ(dateTotalSecondsGetter(date), -0.5);
}

TEST_F(DateTest, OutOfRangeSecondsAreHeldAtTheEnds) {
  RuntimeObject* date = Make(0);
  dateTotalSecondsSetter(date, -1e300);
  EXPECT_EQ(Fields(date)[0], 1601);
  dateTotalSecondsSetter(date, 1e300);
  EXPECT_EQ(Fields(date)[0], 30828);
  dateTotalSecondsSetter(date, 0);
  dateTotalSecondsSetter(date, std::nan(""));
  EXPECT_EQ(dateTotalSecondsGetter(date), 0.0);
}

TEST_F(DateTest, SettersNormaliseOutOfRangeValues) {
  const struct {
    int selector, value;
    Moment expected;
  } cases[] = {
      {0, 2001, {2001, 3, 1, 10, 20, 30}},  // 29 February of a common year is 1 March
      {1, 13, {2001, 1, 29, 10, 20, 30}},
      {1, 0, {1999, 12, 29, 10, 20, 30}},
      {1, 4, {2000, 4, 29, 10, 20, 30}},
      {2, 0, {2000, 1, 31, 10, 20, 30}},
      {2, 31, {2000, 3, 2, 10, 20, 30}},
      {3, 24, {2000, 3, 1, 0, 20, 30}},
      {3, -1, {2000, 2, 28, 23, 20, 30}},
      {4, 61, {2000, 2, 29, 11, 1, 30}},
      {5, -1, {2000, 2, 29, 10, 19, 59}},
      {5, 45, {2000, 2, 29, 10, 20, 45}},
  };
  for (const auto& c : cases) {
    RuntimeObject* date = Make(SecondsSince1904({2000, 2, 29, 10, 20, 30}));
    dateFieldSetter(date, c.selector, c.value);
    EXPECT_EQ(dateTotalSecondsGetter(date), SecondsSince1904(c.expected)) << c.selector << " " << c.value;
  }
  RuntimeObject* date = Make(0);
  for (int selector : {6, 7, 8, 9, -1}) dateFieldSetter(date, selector, 5);  // read-only fields
  dateFieldSetter(date, 0, 1000);                                            // before 1601
  dateFieldSetter(date, 0, 100000);                                          // beyond 30828
  EXPECT_EQ(dateTotalSecondsGetter(date), 0.0);
}

TEST_F(DateTest, AnUnsetDateIsFixedAtFirstUse) {
  RuntimeObject* date = NewDate(0);
  dates_.push_back(date);
  // A date made unset, as the application's New Date does.
  RuntimeObject* now = NewInstance(date->classRecord);
  dates_.push_back(now);
  double first = dateTotalSecondsGetter(now);
  int second = dateFieldGetter(now, 5);
  FILETIME utc, local;
  GetSystemTimeAsFileTime(&utc);
  FileTimeToLocalFileTime(&utc, &local);
  uint64_t localNow = (uint64_t(local.dwHighDateTime) << 32) | local.dwLowDateTime;
  EXPECT_LE(DateLocalTime(now), localNow);
  timespec pause = {1, 100000000};
  nanosleep(&pause, nullptr);
  EXPECT_EQ(dateTotalSecondsGetter(now), first);
  EXPECT_EQ(dateFieldGetter(now, 5), second);
}

TEST(PlatformTime, LocalTimeFollowsTheHostZone) {
  FILETIME utc = {0x12345678, 0x01D00000};
  FILETIME local, back;
  ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
  EXPECT_EQ(back.dwLowDateTime, utc.dwLowDateTime);
  EXPECT_EQ(back.dwHighDateTime, utc.dwHighDateTime);
  time_t now = time(nullptr);
  struct tm parts;
  localtime_r(&now, &parts);
  int64_t difference = static_cast<int64_t>((uint64_t(local.dwHighDateTime) << 32 | local.dwLowDateTime) -
                                            (uint64_t(utc.dwHighDateTime) << 32 | utc.dwLowDateTime));
  EXPECT_EQ(difference, parts.tm_gmtoff * kTicksPerSecond);
}

TEST(PlatformTime, CalendarConversionsRejectInvalidValues) {
  const SYSTEMTIME invalid[] = {
      {1600, 12, 0, 31, 0, 0, 0, 0}, {2001, 2, 0, 29, 0, 0, 0, 0}, {2000, 13, 0, 1, 0, 0, 0, 0},
      {2000, 1, 0, 1, 24, 0, 0, 0},  {2000, 1, 0, 1, 0, 60, 0, 0}, {2000, 1, 0, 1, 0, 0, 0, 1000},
  };
  FILETIME time;
  for (const SYSTEMTIME& calendar : invalid) EXPECT_FALSE(SystemTimeToFileTime(&calendar, &time)) << calendar.wYear;
  FILETIME tooLarge = {0, 0x80000000};
  SYSTEMTIME calendar;
  EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &calendar));
  FILETIME zero = {0, 0};
  ASSERT_TRUE(FileTimeToSystemTime(&zero, &calendar));
  EXPECT_EQ(calendar.wYear, 1601);
  EXPECT_EQ(calendar.wDayOfWeek, 1);  // a Monday
}

TEST(PlatformTime, FormatPicturesAndBufferSizes) {
  SYSTEMTIME calendar = {2009, 7, 0, 4, 15, 7, 9, 0};
  const struct {
    bool date;
    DWORD flags;
    const char* picture;
    const char* expected;
  } cases[] = {
      {true, 0, "ddd d MMM yy", "Sat 4 Jul 09"},
      {true, 0, "dd/MM/yyyy 'at' y", "04/07/2009 at 9"},
      {true, 0, "'it''s' MMMM", "it's July"},
      {false, 0, "HH:mm:ss", "15:07:09"},
      {false, 0, "hh 'h' t", "03 h P"},
      {false, TIME_NOSECONDS, nullptr, "3:07 PM"},
      {false, TIME_NOMINUTESORSECONDS, nullptr, "3 PM"},
      {false, TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT, nullptr, "15:07:09"},
  };
  char text[64];
  for (const auto& c : cases) {
    int written = c.date ? GetDateFormatA(LOCALE_USER_DEFAULT, c.flags, &calendar, c.picture, text, sizeof text)
                         : GetTimeFormatA(LOCALE_USER_DEFAULT, c.flags, &calendar, c.picture, text, sizeof text);
    EXPECT_EQ(std::string(text, written > 0 ? written - 1 : 0), c.expected);
  }
  EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &calendar, nullptr, nullptr, 0), 9);
  EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &calendar, nullptr, text, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(GetDateFormatA(0x0411, DATE_SHORTDATE, &calendar, nullptr, text, sizeof text), 0);
  SYSTEMTIME bad = {2009, 2, 0, 30, 0, 0, 0, 0};
  EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &bad, nullptr, text, sizeof text), 0);
}

}  // namespace
