#include "files/date.h"

#include <cmath>
#include <limits>

#include "core/class_registry.h"
#include "core/object_model.h"
#include "core/runtime_string.h"
#include "platform/win32.h"

namespace {

struct DateObject {
  RuntimeObject header;
  uint64_t time;
  bool set;
};

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kTicksPerDay = kTicksPerSecond * 86400;
// The largest count FileTimeToSystemTime accepts.
constexpr uint64_t kLargestTime = 0x7FFFFFFFFFFFFFFFull;

enum Field { Year, Month, Day, Hour, Minute, Second, DayOfWeek, DayOfYear, WeekOfYear };

ClassRecord* dateClass;

DateObject* AsDate(RuntimeObject* date) { return reinterpret_cast<DateObject*>(date); }

uint64_t Ticks(const FILETIME& time) { return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

FILETIME FileTime(uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

// 1904-01-01 00:00:00, the start of the seconds count.
uint64_t Reference() {
  SYSTEMTIME start = {1904, 1, 0, 1, 0, 0, 0, 0};
  FILETIME time = {};
  SystemTimeToFileTime(&start, &time);
  return Ticks(time);
}

bool Calendar(RuntimeObject* date, SYSTEMTIME* calendar) {
  FILETIME time = FileTime(DateLocalTime(date));
  return FileTimeToSystemTime(&time, calendar) != FALSE;
}

// A day number (from a fixed start) for any year, month and day, months and days outside their
// ranges carried into the next or previous ones (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  int64_t months = year * 12 + (month - 1);
  year = months >= 0 ? months / 12 : (months - 11) / 12;
  month = months - year * 12 + 1;
  int64_t y = year - (month <= 2);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yearOfEra = y - era * 400;
  int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra + (day - 1);
}

void AddDateProperty(ClassRecord* classRecord, const char* name, void* getter, void* setter, uint32_t selector) {
  AddProperty(classRecord, name, nullptr, getter, setter, selector);
}

}  // namespace

void RegisterDateClass() {
  if (dateClass) return;
  dateClass = FindClassByName("Date");
  if (dateClass) return;
  dateClass = DefineBuiltInClass("Date", nullptr, sizeof(DateObject));
  const char* const fields[] = {"Year", "Month", "Day", "Hour", "Minute", "Second", "DayOfWeek", "DayOfYear", "WeekOfYear"};
  for (uint32_t selector = 0; selector < 9; selector++)
    AddDateProperty(dateClass, fields[selector], CodeAddress(&dateFieldGetter), selector <= Second ? CodeAddress(&dateFieldSetter) : nullptr,
                  selector);
  const char* const texts[] = {"ShortDate", "LongDate", "AbbreviatedDate", "ShortTime", "LongTime"};
  for (uint32_t selector = 0; selector < 5; selector++)
    AddDateProperty(dateClass, texts[selector], CodeAddress(&dateStringGetter), nullptr, selector);
  AddDateProperty(dateClass, "TotalSeconds", CodeAddress(&dateTotalSecondsGetter), CodeAddress(&dateTotalSecondsSetter), 0);
}

RuntimeObject* NewDate(uint64_t localTime) {
  RegisterDateClass();
  RuntimeObject* date = NewInstance(dateClass);
  if (date) {
    AsDate(date)->time = localTime;
    AsDate(date)->set = true;
  }
  return date;
}

uint64_t DateLocalTime(RuntimeObject* date) {
  if (date == nullptr) return 0;
  DateObject* object = AsDate(date);
  if (!object->set) {
    FILETIME now;
    FILETIME local;
    GetSystemTimeAsFileTime(&now);
    FileTimeToLocalFileTime(&now, &local);
    object->time = Ticks(local);
    object->set = true;
  }
  return object->time;
}

extern "C" {

int32_t dateFieldGetter(RuntimeObject* date, int32_t selector) {
  SYSTEMTIME calendar;
  if (date == nullptr || !Calendar(date, &calendar)) return 0;
  switch (selector) {
    case Year: return calendar.wYear;
    case Month: return calendar.wMonth;
    case Day: return calendar.wDay;
    case Hour: return calendar.wHour;
    case Minute: return calendar.wMinute;
    case Second: return calendar.wSecond;
    case DayOfWeek: return calendar.wDayOfWeek + 1;
    case DayOfYear:
    case WeekOfYear: {
      SYSTEMTIME january = calendar;
      january.wMonth = 1;
      january.wDay = 1;
      FILETIME start;
      FILETIME time;
      SYSTEMTIME januaryCalendar;
      if (!SystemTimeToFileTime(&january, &start) || !SystemTimeToFileTime(&calendar, &time)) return 0;
      int64_t dayIndex = (static_cast<int64_t>(Ticks(time) - Ticks(start)) + kTicksPerDay / 2) / kTicksPerDay;
      if (selector == DayOfYear) return static_cast<int32_t>(dayIndex + 1);
      if (!FileTimeToSystemTime(&start, &januaryCalendar)) return 0;
      return static_cast<int32_t>((dayIndex + januaryCalendar.wDayOfWeek) / 7 + 1);
    }
    default: return 0;
  }
}

// Year, Month, Day, Hour, Minute and Second can be set; a value outside its field's range
// carries into the others as the calendar does (Month 13 is January of the next year, Day 0 the
// last day of the previous month, Second -1 the last second of the previous minute). A result
// outside the range a date can hold, or another selector, leaves the date unchanged.
void dateFieldSetter(RuntimeObject* date, int32_t selector, int32_t value) {
  SYSTEMTIME calendar;
  if (date == nullptr || selector < Year || selector > Second || !Calendar(date, &calendar)) return;
  int64_t fields[6] = {calendar.wYear, calendar.wMonth, calendar.wDay, calendar.wHour, calendar.wMinute, calendar.wSecond};
  fields[selector] = value;
  // Days from 1601-01-01.
  int64_t days = DaysFromCivil(fields[Year], fields[Month], fields[Day]) - DaysFromCivil(1601, 1, 1);
  int64_t seconds = fields[Hour] * 3600 + fields[Minute] * 60 + fields[Second];
  // Both parts stay far from overflow: |days| < 2^42, |seconds| < 2^38.
  constexpr int64_t kLargestDays = static_cast<int64_t>(kLargestTime / kTicksPerDay) + 1;
  int64_t totalDays = days + (seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400);
  int64_t secondOfDay = seconds - (totalDays - days) * 86400;
  if (totalDays < 0 || totalDays > kLargestDays) return;
  uint64_t fraction = DateLocalTime(date) % kTicksPerSecond;  // the part below a second is kept
  uint64_t ticks = static_cast<uint64_t>(totalDays) * kTicksPerDay + static_cast<uint64_t>(secondOfDay) * kTicksPerSecond +
                   fraction;
  if (ticks > kLargestTime) return;
  AsDate(date)->time = ticks;
}

RuntimeString* dateStringGetter(RuntimeObject* date, int32_t selector) {
  SYSTEMTIME calendar;
  if (date == nullptr || selector < 0 || selector > 4 || !Calendar(date, &calendar)) return nullptr;
  char text[256];
  int written = 0;
  switch (selector) {
    case 0:
    case 2:
      written = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &calendar, nullptr, text, sizeof text);
      break;
    case 1:
      written = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &calendar, nullptr, text, sizeof text);
      break;
    case 3:
      written = GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &calendar, nullptr, text, sizeof text);
      break;
    default:
      written = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &calendar, nullptr, text, sizeof text);
      break;
  }
  return written > 0 ? StringFromCString(text) : nullptr;
}

double dateTotalSecondsGetter(RuntimeObject* date) {
  if (date == nullptr) return 0.0;
  return static_cast<double>(static_cast<int64_t>(DateLocalTime(date) - Reference())) * 1e-7;
}

// A count that is not a number changes nothing; one beyond the range a date can hold is held at
// the nearest end of it (1601-01-01 or the year 30828).
void dateTotalSecondsSetter(RuntimeObject* date, double seconds) {
  if (date == nullptr || std::isnan(seconds)) return;
  long double ticks = static_cast<long double>(Reference()) + static_cast<long double>(seconds) * 1e7L;
  uint64_t time;
  if (ticks <= 0)
    time = 0;
  else if (ticks >= static_cast<long double>(kLargestTime))
    time = kLargestTime;
  else
    time = static_cast<uint64_t>(ticks);
  AsDate(date)->time = time;
  AsDate(date)->set = true;
}

}  // extern "C"
