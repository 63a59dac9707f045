#include "monitor/mail/MailDate.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace MailDate {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
long long daysFromCivil(long long y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

long long minutesOf(const std::tm& t) {
  return daysFromCivil(t.tm_year + 1900LL, t.tm_mon + 1, t.tm_mday) * 1440 + t.tm_hour * 60 +
         t.tm_min;
}

}  // namespace

Text format(const Fields& f) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* day = kDays[((f.weekday % 7) + 7) % 7];
  const char* month = kMonths[((f.month - 1) % 12 + 12) % 12];
  const int offset = std::abs(f.offsetMinutes);
  char out[64];
  std::snprintf(out, sizeof out, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", day, f.day, month,
                f.year, f.hour, f.minute, f.second, f.offsetMinutes < 0 ? '-' : '+',
                offset / 60 % 100, offset % 60);
  return out;
}

Fields now() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  std::tm utc{};
#ifdef _WIN32
  localtime_s(&local, &t);
  gmtime_s(&utc, &t);
#else
  localtime_r(&t, &local);
  gmtime_r(&t, &utc);
#endif
  Fields f;
  f.year = local.tm_year + 1900;
  f.month = local.tm_mon + 1;
  f.day = local.tm_mday;
  f.weekday = local.tm_wday;
  f.hour = local.tm_hour;
  f.minute = local.tm_min;
  f.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  f.offsetMinutes = static_cast<int>(minutesOf(local) - minutesOf(utc));
  return f;
}

}  // namespace MailDate
