// The Date header of a mail: local time with its offset from UTC, in the form
// of RFC 5322 ("Thu, 11 Dec 2025 13:10:00 +0800").
#pragma once

#include "core/Text.h"

namespace MailDate {

struct Fields {
  int year = 1970;
  int month = 1;    // 1 to 12
  int day = 1;      // 1 to 31
  int weekday = 4;  // 0 Sunday to 6 Saturday
  int hour = 0, minute = 0, second = 0;
  int offsetMinutes = 0;  // local time minus UTC
};

Text format(const Fields& fields);

// The computer's clock and time zone now.
Fields now();

}  // namespace MailDate
