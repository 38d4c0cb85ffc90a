#include "Version.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TStampCase {
    const char* Name;
    std::string Default;
    std::string Stamp;
    std::string Value;
};

TEST(ExtractStampValue, ReadsTheValueOfAStamp) {
    const std::vector<TStampCase> Cases = {
        {"version", "00.00.00", "$Version: 01.00 $", "01.00"},
        {"no colon", "00.00.00", "$Version 01.00 $", "00.00.00"},
        {"empty value", "00:00", "$VersTime: $", "00:00"},
        {"blank value", "00:00", "$VersTime:     $", "00:00"},
        {"blanks inside are dropped", "0000-Jan-00", "$VersDate: 2025 MAR 29 $", "2025MAR29"},
        {"only the first colon counts", "00:00", "$VersTime: 18:34 $", "18:34"},
        {"last two characters never taken", "00.00.00", "$Version: 01.00$", "01.0"},
        {"control characters dropped", "x", "$V:\t1\x01" "2\x7f $", "12\x7f"},
        {"characters above 127 taken", "x", "$V: \xc3\xa4 $", "\xc3\xa4"},
        {"colon at the end", "d", "$V:", "d"},
        {"colon only", "d", ":", "d"},
        {"empty stamp", "d", "", "d"},
    };
    for (const TStampCase& Case : Cases)
        EXPECT_EQ(ExtractStampValue(Case.Default, Case.Stamp), Case.Value) << Case.Name;
}

TEST(VersionText, ComposesTheThreeStamps) {
    EXPECT_EQ(VersionNumber(), "01.00");
    EXPECT_EQ(VersionDate(), "2025-MAR-29");
    EXPECT_EQ(VersionTime(), "18:34");
    EXPECT_EQ(VersionText(), "01.00 (2025-MAR-29; 18:34)");
}

} // namespace
