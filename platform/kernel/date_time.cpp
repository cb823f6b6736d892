// FILETIME and SYSTEMTIME conversions, the host's time zone, and the date and time formats of
// the layer's user-default locale, English (United States), in Windows-1252.
#include <time.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/win32.h"

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kTicksPerDay = kTicksPerSecond * 86400;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t kDaysTo1970 = 134774;
constexpr uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;

uint64_t Ticks(const FILETIME* time) {
  return (static_cast<uint64_t>(time->dwHighDateTime) << 32) | time->dwLowDateTime;
}

void SetTicks(FILETIME* time, uint64_t ticks) {
  time->dwLowDateTime = static_cast<DWORD>(ticks);
  time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(int64_t days, int64_t* year, unsigned* month, unsigned* day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned shifted = (5 * dayOfYear + 2) / 153;
  *day = dayOfYear - (153 * shifted + 2) / 5 + 1;
  *month = shifted < 10 ? shifted + 3 : shifted - 9;
  *year = static_cast<int64_t>(yearOfEra) + era * 400 + (*month <= 2);
}

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool ValidSystemTime(const SYSTEMTIME* time) {
  return time->wYear >= 1601 && time->wYear <= 30827 && time->wMonth >= 1 && time->wMonth <= 12 &&
         time->wDay >= 1 && time->wDay <= DaysInMonth(time->wYear, time->wMonth) && time->wHour < 24 &&
         time->wMinute < 60 && time->wSecond < 60 && time->wMilliseconds < 1000;
}

// The host's offset from UTC now, in seconds; Windows converts every FILETIME with the current
// bias, not the one in force at the converted time.
int64_t CurrentBiasSeconds() {
  time_t now = time(nullptr);
  struct tm local;
  if (localtime_r(&now, &local) == nullptr) return 0;
  return local.tm_gmtoff;
}

// The current local time as a SYSTEMTIME.
SYSTEMTIME LocalNow() {
  FILETIME utc;
  FILETIME local;
  SYSTEMTIME result = {};
  GetSystemTimeAsFileTime(&utc);
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToSystemTime(&local, &result);
  return result;
}

const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

// The length of the run of one letter starting at format[index].
size_t Run(const char* format, size_t index) {
  size_t end = index;
  while (format[end] == format[index]) end++;
  return end - index;
}

std::string Number(unsigned value, size_t digits) {
  std::string text = std::to_string(value);
  while (text.size() < digits) text.insert(text.begin(), '0');
  return text;
}

// Copies text literally between single quotes ('' is a quote); returns the index after it.
size_t Quoted(const char* format, size_t index, std::string* out) {
  index++;
  while (format[index]) {
    if (format[index] == '\'') {
      if (format[index + 1] != '\'') return index + 1;
      index++;
    }
    *out += format[index++];
  }
  return index;
}

std::string FormatDate(const SYSTEMTIME& date, const char* format) {
  std::string out;
  for (size_t index = 0; format[index];) {
    char c = format[index];
    if (c == '\'') {
      index = Quoted(format, index, &out);
      continue;
    }
    size_t run = Run(format, index);
    if (c == 'd') {
      if (run <= 2)
        out += Number(date.wDay, run);
      else
        out += run == 3 ? std::string(kDayNames[date.wDayOfWeek], 3) : kDayNames[date.wDayOfWeek];
    } else if (c == 'M') {
      if (run <= 2)
        out += Number(date.wMonth, run);
      else
        out += run == 3 ? std::string(kMonthNames[date.wMonth - 1], 3) : kMonthNames[date.wMonth - 1];
    } else if (c == 'y') {
      // y: the year in the century without a leading zero; yy: two digits; more: the whole year.
      out += run == 1 ? std::to_string(date.wYear % 100) : run == 2 ? Number(date.wYear % 100, 2) : Number(date.wYear, 4);
    } else if (c == 'g') {
      out += "A.D.";
    } else {
      out.append(run, c);
    }
    index += run;
  }
  return out;
}

std::string FormatTime(const SYSTEMTIME& time, const char* format, DWORD flags) {
  std::string out;
  for (size_t index = 0; format[index];) {
    char c = format[index];
    size_t run = Run(format, index);
    bool removed = ((flags & TIME_NOMINUTESORSECONDS) && (c == 'm' || c == 's')) ||
                   ((flags & TIME_NOSECONDS) && c == 's') || ((flags & TIME_NOTIMEMARKER) && c == 't');
    if (removed) {
      // A removed field takes the separator before it along ("h:mm:ss" without seconds is "h:mm").
      while (!out.empty() && out.back() != ' ' && !isalnum(static_cast<unsigned char>(out.back()))) out.pop_back();
      index += run;
      continue;
    }
    if (c == '\'') {
      index = Quoted(format, index, &out);
      continue;
    }
    if (c == 'h' || c == 'H') {
      bool twelve = c == 'h' && !(flags & TIME_FORCE24HOURFORMAT);
      unsigned hour = twelve ? (time.wHour % 12 == 0 ? 12 : time.wHour % 12) : time.wHour;
      out += Number(hour, run >= 2 ? 2 : 1);
    } else if (c == 'm') {
      out += Number(time.wMinute, run >= 2 ? 2 : 1);
    } else if (c == 's') {
      out += Number(time.wSecond, run >= 2 ? 2 : 1);
    } else if (c == 't') {
      const char* marker = time.wHour < 12 ? "AM" : "PM";
      out += run == 1 ? std::string(marker, 1) : marker;
    } else {
      out.append(run, c);
    }
    index += run;
  }
  // A time marker removed at the end leaves no trailing space.
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

bool SupportedLocale(LCID locale) {
  return locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT || locale == 0x0000 || locale == 0x0409;
}

// Win32's convention for formatted text: with a zero size, the size needed with the zero;
// otherwise the text and its zero, or 0 with ERROR_INSUFFICIENT_BUFFER.
int CopyFormatted(const std::string& text, LPSTR buffer, int size) {
  int needed = static_cast<int>(text.size()) + 1;
  if (size == 0) return needed;
  if (buffer == nullptr || size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
  return needed;
}

}  // namespace

extern "C" {

void WINAPI GetSystemTimeAsFileTime(LPFILETIME result) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  int64_t ticks = (static_cast<int64_t>(now.tv_sec) + kDaysTo1970 * 86400) * kTicksPerSecond + now.tv_nsec / 100;
  SetTicks(result, static_cast<uint64_t>(ticks));
}

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local) {
  if (utc == nullptr || local == nullptr) return FALSE;
  int64_t ticks = static_cast<int64_t>(Ticks(utc)) + CurrentBiasSeconds() * kTicksPerSecond;
  SetTicks(local, static_cast<uint64_t>(ticks));
  return TRUE;
}

BOOL WINAPI LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME utc) {
  if (utc == nullptr || local == nullptr) return FALSE;
  int64_t ticks = static_cast<int64_t>(Ticks(local)) - CurrentBiasSeconds() * kTicksPerSecond;
  SetTicks(utc, static_cast<uint64_t>(ticks));
  return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* time, LPSYSTEMTIME result) {
  if (time == nullptr || result == nullptr) return FALSE;
  uint64_t ticks = Ticks(time);
  if (ticks > kLargestFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int64_t days = static_cast<int64_t>(ticks / kTicksPerDay);
  uint64_t rest = ticks % kTicksPerDay;
  int64_t year;
  unsigned month;
  unsigned day;
  CivilFromDays(days - kDaysTo1970, &year, &month, &day);
  result->wYear = static_cast<WORD>(year);
  result->wMonth = static_cast<WORD>(month);
  result->wDay = static_cast<WORD>(day);
  result->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  result->wHour = static_cast<WORD>(rest / (kTicksPerSecond * 3600));
  result->wMinute = static_cast<WORD>(rest / (kTicksPerSecond * 60) % 60);
  result->wSecond = static_cast<WORD>(rest / kTicksPerSecond % 60);
  result->wMilliseconds = static_cast<WORD>(rest / 10000 % 1000);
  return TRUE;
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* time, LPFILETIME result) {
  if (time == nullptr || result == nullptr || !ValidSystemTime(time)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int64_t days = DaysFromCivil(time->wYear, time->wMonth, time->wDay) + kDaysTo1970;
  int64_t seconds = days * 86400 + time->wHour * 3600 + time->wMinute * 60 + time->wSecond;
  SetTicks(result, static_cast<uint64_t>(seconds * kTicksPerSecond + time->wMilliseconds * 10000));
  return TRUE;
}

int WINAPI GetDateFormatA(LCID locale, DWORD flags, const SYSTEMTIME* date, LPCSTR format, LPSTR buffer,
                          int size) {
  if (!SupportedLocale(locale) || size < 0 || (format && (flags & (DATE_SHORTDATE | DATE_LONGDATE))) ||
      (flags & DATE_SHORTDATE && flags & DATE_LONGDATE)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  SYSTEMTIME when = date ? *date : LocalNow();
  if (!ValidSystemTime(&when)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The day of the week is computed, whatever the caller put there.
  when.wDayOfWeek = static_cast<WORD>(((DaysFromCivil(when.wYear, when.wMonth, when.wDay) % 7) + 11) % 7);
  const char* picture = format ? format : (flags & DATE_LONGDATE) ? "dddd, MMMM dd, yyyy" : "M/d/yyyy";
  return CopyFormatted(FormatDate(when, picture), buffer, size);
}

int WINAPI GetTimeFormatA(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCSTR format, LPSTR buffer,
                          int size) {
  if (!SupportedLocale(locale) || size < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  SYSTEMTIME when = time ? *time : LocalNow();
  if (when.wHour > 23 || when.wMinute > 59 || when.wSecond > 59 || when.wMilliseconds > 999) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return CopyFormatted(FormatTime(when, format ? format : "h:mm:ss tt", flags), buffer, size);
}

}  // extern "C"
