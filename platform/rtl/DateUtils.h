// Dates and times as text under the process-wide format settings, as the runtime library
// gives them: the settings a program may change at start (the long time format comes from
// the user's regional settings), the current local date and time, and their conversion to
// text. Parsing dates is left to others.
#pragma once

#include <string>
#include <string_view>

namespace rtl {

// The process-wide format settings that the conversions below read.
struct TFormatSettings {
    // "d"/"dd" day, "m"/"mm" month, "yy"/"yyyy" year, case ignored; anything else is copied.
    std::string ShortDateFormat = "dd.mm.yyyy";
    // "h"/"hh" hour (of twelve when the format holds "ampm"), "n"/"nn" minutes, "s"/"ss"
    // seconds, "ampm" the AM or PM marker; case ignored, anything else is copied.
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
};

// The settings of the user's regional time format (LC_ALL, LC_TIME, LANG), read afresh:
// the long time format and the AM and PM markers; the other settings keep their defaults.
// "%H:%M:%S" (de_DE) gives "hh:nn:ss"; "%I:%M:%S %p" (en_US) gives "h:nn:ss ampm", since
// a twelve-hour clock shows its hour without a leading zero.
TFormatSettings RegionalFormatSettings();

// The process-wide settings, taken from RegionalFormatSettings at first use.
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

// Writes the time of day under Format with the markers of Settings: 14:07:09 under
// "h:nn:ss ampm" gives "2:07:09 PM".
std::string FormatTime(std::string_view Format, const DateTimeParts& Time,
                       const TFormatSettings& Settings);

// The date under the short date format, then, unless the time is exactly 00:00:00, a blank
// and the time under the long time format; never milliseconds: "05.03.2025 14:07:09".
std::string DateTimeToStr(const DateTimeParts& DateTime);

} // namespace rtl
