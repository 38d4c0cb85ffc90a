// Dates as text under the process-wide format settings, as the runtime library gives them:
// the settings a program may change at start, the current local date and time, and the
// conversion of a date to text. Parsing dates and locale-derived formats are left to others.
#pragma once

#include <string>
#include <string_view>

namespace rtl {

// The process-wide format settings that the conversions below read.
struct TFormatSettings {
    // "d"/"dd" day, "m"/"mm" month, "yy"/"yyyy" year, case ignored; anything else is copied.
    std::string ShortDateFormat = "dd.mm.yyyy";
};

TFormatSettings& FormatSettings();

// A calendar date and time of day in local time.
struct DateTimeParts {
    int Year = 0;
    int Month = 0; // 1 to 12
    int Day = 0;   // 1 to 31
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

// The current local date and time.
DateTimeParts Now();

// Writes the date part under Format: 5 March 2025 under "dd.mm.yyyy" gives "05.03.2025".
std::string FormatDate(std::string_view Format, const DateTimeParts& Date);

// The date under the process-wide short date format.
std::string DateToStr(const DateTimeParts& Date);

} // namespace rtl
