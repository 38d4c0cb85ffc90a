#include "rtl/DateUtils.h"

#include <gtest/gtest.h>

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
