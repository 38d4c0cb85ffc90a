// The calculator's time arithmetic: time texts such as "8:14,54" to signed 32-bit counts of
// milliseconds and back, the IAAF round-up to the next step of a resolution, and the filter
// for keys typed into a time field. Pure functions of their arguments; no Qt, no I/O.
#pragma once

#include "vcl/Classes.h"

#include <cstdint>
#include <string>
#include <string_view>

class TTivTools : public TComponent {
public:
    explicit TTivTools(TComponent* AOwner);
    ~TTivTools() override;

    // Reads a time text into a count of milliseconds; never fails on odd text. Characters
    // other than digits, ":", "," and "." vanish, "." is read as ",". A bare number counts
    // milliseconds ("12" is 12). Hours, minutes and seconds are not limited ("1:60" is
    // 120000). Raises ERangeError when the time lies above 596:31:23,647.
    std::int32_t TimeTextToMs(std::string_view Text) const;

    // Lets Backspace, Tab, digits, ":", "," and "." through; turns any other key into the
    // null character, which the edit field discards.
    void TimeKeyFilter(TObject* Sender, char& Key) const;

    // Writes a count under a resolution pattern such as "ss,tt": 494770 gives "8:14,77".
    // Digits below the resolution are cut, never rounded.
    std::string MsToTimeText(std::int32_t Count, std::string_view Pattern) const;

    // Rounds a count up to the next multiple of a step of 1, 0.1 or 0.01 seconds (the IAAF
    // rule); any other step returns the count unchanged.
    std::int32_t RoundUpTime(std::int32_t Count, double StepSeconds) const;
};
