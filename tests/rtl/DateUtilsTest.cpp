#include "rtl/DateUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct FormatCase {
    const char* Name;
    const char* Format;
    rtl::DateTimeParts Date;
    const char* Expected;
};

class DateFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DateFormats, WriteTheDateUnderTheFormat) {
    EXPECT_EQ(rtl::FormatDate(GetParam().Format, GetParam().Date), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateFormats,
    ::testing::Values(FormatCase{"German", "dd.mm.yyyy", {2025, 3, 5}, "05.03.2025"},
                      FormatCase{"Unpadded", "d.m.yyyy", {2025, 3, 5}, "5.3.2025"},
                      FormatCase{"UnpaddedTwoDigits", "d.m.yy", {2025, 11, 26}, "26.11.25"},
                      FormatCase{"Iso", "yyyy-mm-dd", {2002, 11, 26}, "2002-11-26"},
                      FormatCase{"UpperCase", "DD/MM/YYYY", {2024, 2, 29}, "29/02/2024"},
                      FormatCase{"TwoDigitYearPadded", "yy", {2005, 1, 1}, "05"},
                      FormatCase{"EarlyYear", "yyyy", {987, 1, 1}, "0987"},
                      FormatCase{"OtherLettersCopied", "Tag dd", {2025, 3, 5}, "Tag 05"},
                      FormatCase{"Empty", "", {2025, 3, 5}, ""}),
    [](const auto& Info) { return Info.param.Name; });

TEST(DateUtils, DateToStrFollowsTheProcessWideShortDateFormat) {
    rtl::TFormatSettings& Settings = rtl::FormatSettings();
    EXPECT_EQ(Settings.ShortDateFormat, "dd.mm.yyyy");
    const rtl::DateTimeParts Date{2025, 3, 5, 14, 7, 9, 0};
    EXPECT_EQ(rtl::DateToStr(Date), "05.03.2025");
    Settings.ShortDateFormat = "yyyy/mm/dd";
    EXPECT_EQ(rtl::DateToStr(Date), "2025/03/05");
    Settings.ShortDateFormat = "dd.mm.yyyy";
}

TEST(DateUtils, NowGivesACalendarDateAndTimeOfDay) {
    const rtl::DateTimeParts Now = rtl::Now();
    EXPECT_GE(Now.Year, 2024);
    EXPECT_TRUE(Now.Month >= 1 && Now.Month <= 12);
    EXPECT_TRUE(Now.Day >= 1 && Now.Day <= 31);
    EXPECT_TRUE(Now.Hour >= 0 && Now.Hour <= 23);
    EXPECT_TRUE(Now.Minute >= 0 && Now.Minute <= 59);
    EXPECT_TRUE(Now.Second >= 0 && Now.Second <= 60);
    EXPECT_TRUE(Now.Millisecond >= 0 && Now.Millisecond <= 999);
}

} // namespace

namespace {

struct TRegionalCase {
    const char* Locale;
    const char* LongTimeFormat;
    const char* Afternoon; // 14:07:09
    const char* Morning;   // 00:05:00
};

// The stamp of the last use under the user's regional time format; the date keeps the
// program's short format.
TEST(DateUtils, DateTimeToStrUsesTheRegionalLongTimeFormat) {
    const TRegionalCase Cases[] = {
        {"de_DE.UTF-8", "hh:nn:ss", "05.03.2025 14:07:09", "01.01.2025 00:05:00"},
        {"en_US.UTF-8", "h:nn:ss ampm", "05.03.2025 2:07:09 PM", "01.01.2025 12:05:00 AM"},
        {"C", "hh:nn:ss", "05.03.2025 14:07:09", "01.01.2025 00:05:00"},
    };
    rtl::TFormatSettings& Settings = rtl::FormatSettings();
    const rtl::TFormatSettings Saved = Settings;
    for (const TRegionalCase& Case : Cases) {
        setenv("LC_ALL", Case.Locale, 1);
        Settings = rtl::RegionalFormatSettings();
        EXPECT_EQ(Settings.LongTimeFormat, Case.LongTimeFormat) << Case.Locale;
        EXPECT_EQ(rtl::DateTimeToStr({2025, 3, 5, 14, 7, 9, 999}), Case.Afternoon) << Case.Locale;
        EXPECT_EQ(rtl::DateTimeToStr({2025, 1, 1, 0, 5, 0, 0}), Case.Morning) << Case.Locale;
        // At exactly midnight the stamp is the date alone, whatever the milliseconds.
        EXPECT_EQ(rtl::DateTimeToStr({2025, 1, 1, 0, 0, 0, 999}), "01.01.2025") << Case.Locale;
    }
    unsetenv("LC_ALL");
    Settings = Saved;
}

TEST(DateUtils, FormatTimeFields) {
    const rtl::TFormatSettings Settings;
    const rtl::DateTimeParts Noon{2025, 3, 5, 12, 0, 5, 0};
    const rtl::DateTimeParts Late{2025, 3, 5, 23, 59, 59, 0};
    EXPECT_EQ(rtl::FormatTime("h:n:s", Noon, Settings), "12:0:5");
    EXPECT_EQ(rtl::FormatTime("AMPM hh.nn", Noon, Settings), "PM 12.00");
    EXPECT_EQ(rtl::FormatTime("h:nn:ss ampm", Late, Settings), "11:59:59 PM");
    EXPECT_EQ(rtl::FormatTime("hh:nn", Late, Settings), "23:59");
    EXPECT_EQ(rtl::FormatTime("", Late, Settings), "");
}

} // namespace
