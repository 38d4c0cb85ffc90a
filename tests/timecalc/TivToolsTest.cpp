#include "timecalc/TivTools.h"

#include "vcl/SysUtils.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

const TTivTools Tools(nullptr);

struct TTextCase {
    const char* Text;
    std::int32_t Count;
};

TEST(TimeTextToMs, ReadsTimeTexts) {
    const std::vector<TTextCase> Cases = {
        {"8:14,54", 494540},
        {"0,23", 230},
        {"8:14.54", 494540},
        {"", 0},
        {"abc", 0},
        {",", 0},
        {".", 0},
        {"12", 12},
        {"05", 5},
        {"12,5", 12500},
        {",5", 500},
        {":30", 30000},
        {"1:00:00", 3600000},
        {"12:34:56,789", 45296789},
        {"100:00:00", 360000000},
        {"1::30", 90000},
        {"5:", 300},
        {"1:60", 120000},
        {"0:90", 90000},
        {"-1,23", 1230},
        {" 2 : 03 , 4 ", 123400},
        {"2147483647", 2147483647},
        {"2147483648", 0},
        {"99999999999,5", 500},
        {"596:31:23,647", 2147483647},
        {"1:02:03,00", 3723000},
        {"8:14,77", 494770},
        {"\x01\x7f\xff"
         "1\t:\n2",
         62000},
        // A fraction of more than three digits is cut, as everywhere else.
        {"8:14,5432", 494543},
        {",99999", 999},
        // Only the first "," separates the fraction; what follows a second one is dropped.
        {"1,5,3", 1500},
        {"1:2,5.3:4", 62500},
        // A ":" after the fraction keeps its meaning of a field separator.
        {"1,5:30", 60330},
    };
    for (const TTextCase& Case : Cases)
        EXPECT_EQ(Tools.TimeTextToMs(Case.Text), Case.Count) << '"' << Case.Text << '"';
}

TEST(TimeTextToMs, TimesAboveTheLargestCountRaise) {
    for (const char* Text : {"600:00:00", "596:31:23,648", "596:31:24", "35791:24", "2147483,648",
                             "2147483647:0", "1:2147483647,5"})
        EXPECT_THROW(Tools.TimeTextToMs(Text), ERangeError) << Text;
}

TEST(TimeKeyFilter, LetsOnlyTimeCharactersThrough) {
    const std::string Allowed = "0123456789:,.\b\t";
    for (int Code = std::numeric_limits<char>::min(); Code <= std::numeric_limits<char>::max();
         ++Code) {
        char Key = static_cast<char>(Code);
        Tools.TimeKeyFilter(nullptr, Key);
        const bool Passes = Code != 0 && Allowed.find(static_cast<char>(Code)) != std::string::npos;
        EXPECT_EQ(Key, Passes ? static_cast<char>(Code) : '\0') << "code " << Code;
    }
}

struct TFormatCase {
    std::int32_t Count;
    const char* Ss;
    const char* SsT;
    const char* SsTt;
    const char* SsTtt;
};

TEST(MsToTimeText, FourResolutionsOfTheCalculation) {
    const std::vector<TFormatCase> Cases = {
        {0, "00", "00,0", "00,00", "00,000"},
        {5, "00", "00,0", "00,00", "00,005"},
        {59999, "59", "59,9", "59,99", "59,999"},
        {60000, "1:00", "1:00,0", "1:00,00", "1:00,000"},
        {65000, "1:05", "1:05,0", "1:05,00", "1:05,000"},
        {494770, "8:14", "8:14,7", "8:14,77", "8:14,770"},
        {494779, "8:14", "8:14,7", "8:14,77", "8:14,779"},
        {600000, "10:00", "10:00,0", "10:00,00", "10:00,000"},
        {3599999, "59:59", "59:59,9", "59:59,99", "59:59,999"},
        {3600000, "1:00:00", "1:00:00,0", "1:00:00,00", "1:00:00,000"},
        {3723004, "1:02:03", "1:02:03,0", "1:02:03,00", "1:02:03,004"},
        {36000000, "10:00:00", "10:00:00,0", "10:00:00,00", "10:00:00,000"},
        {359999999, "99:59:59", "99:59:59,9", "99:59:59,99", "99:59:59,999"},
        // A hundred hours and more keep all their hour digits under the same rules.
        {360000000, "100:00:00", "100:00:00,0", "100:00:00,00", "100:00:00,000"},
        {444306789, "123:25:06", "123:25:06,7", "123:25:06,78", "123:25:06,789"},
        {2147483647, "596:31:23", "596:31:23,6", "596:31:23,64", "596:31:23,647"},
    };
    for (const TFormatCase& Case : Cases) {
        EXPECT_EQ(Tools.MsToTimeText(Case.Count, "ss"), Case.Ss) << Case.Count;
        EXPECT_EQ(Tools.MsToTimeText(Case.Count, "ss,t"), Case.SsT) << Case.Count;
        EXPECT_EQ(Tools.MsToTimeText(Case.Count, "ss,tt"), Case.SsTt) << Case.Count;
        EXPECT_EQ(Tools.MsToTimeText(Case.Count, "ss,ttt"), Case.SsTtt) << Case.Count;
    }
}

struct TPatternCase {
    std::int32_t Count;
    const char* Pattern;
    const char* Text;
};

TEST(MsToTimeText, PatternRules) {
    const std::vector<TPatternCase> Cases = {
        {494770, "HH:MM:SS,TT", "00:08:14,77"},
        {494770, "hh:mm:ss,tt", "00:08:14,77"},
        {494770, "ss, tt", "8:14,77"},
        {494770, "ss.tt", "8:14"},
        {0, "hh:mm:ss,ttt", "00:00:00,000"},
        {3723004, "hh:mm:ss,ttt", "01:02:03,004"},
        {494770, "hh:mm", "00:08"},
        {3600000, "mm:ss", "1:00:00"},
        {0, "", ""},
        {494770, "", "8"},
        {3600000, "", "1:00"},
        {5000, "h:m:s", "00:00:5"},
        {14000, "h:m:s", "00:00:14"},
        {494770, "ss,tttt", "8:14,770"},
        {494770, "s,t,tt", "8:14,77"},
        {444306789, "hh:mm:ss,tt", "123:25:06,78"},
        {444306789, "", "123:25"},
        // A fraction is written only after the seconds, never straight after the minutes.
        {494770, ",tt", "8"},
        {494770, "mm,ttt", "08"},
    };
    for (const TPatternCase& Case : Cases)
        EXPECT_EQ(Tools.MsToTimeText(Case.Count, Case.Pattern), Case.Text)
            << Case.Count << " '" << Case.Pattern << "'";
}

TEST(MsToTimeText, NegativeCountsAreTheSignAndTheMagnitude) {
    EXPECT_EQ(Tools.MsToTimeText(-60000, "ss,tt"), "-1:00,00");
    EXPECT_EQ(Tools.MsToTimeText(-5, "ss,ttt"), "-00,005");
    EXPECT_EQ(Tools.MsToTimeText(-2147483647, "ss,ttt"), "-596:31:23,647");
    EXPECT_EQ(Tools.MsToTimeText(std::numeric_limits<std::int32_t>::min(), "ss,ttt"),
              "-596:31:23,648");
}

TEST(MsToTimeText, WrittenTextsReadBackToTheCountShown) {
    const std::vector<std::int32_t> Counts = {
        0, 1, 999, 1000, 59999, 60000, 494779, 3599999, 3600000, 359999999, 360000000, 2147483647};
    const std::vector<std::pair<const char*, std::int32_t>> Patterns = {
        {"ss,t", 100}, {"ss,tt", 10}, {"ss,ttt", 1}, {"hh:mm:ss", 1000}};
    for (std::int32_t Count : Counts)
        for (const auto& [Pattern, Unit] : Patterns)
            EXPECT_EQ(Tools.TimeTextToMs(Tools.MsToTimeText(Count, Pattern)), Count - Count % Unit)
                << Count << ' ' << Pattern;
}

struct TRoundCase {
    std::int32_t Count;
    std::int32_t Second;
    std::int32_t Tenth;
    std::int32_t Hundredth;
    std::int32_t Thousandth;
};

TEST(RoundUpTime, RoundsUpToTheStep) {
    const std::vector<TRoundCase> Cases = {
        {0, 0, 0, 0, 0},
        {1, 1000, 100, 10, 1},
        {10, 1000, 100, 10, 10},
        {11, 1000, 100, 20, 11},
        {494770, 495000, 494800, 494770, 494770},
        {494771, 495000, 494800, 494780, 494771},
        {494779, 495000, 494800, 494780, 494779},
        {495000, 495000, 495000, 495000, 495000},
        {-5, 0, 0, 0, -5},
        {-9, 0, 0, 0, -9},
        // At minus one step or less the count moves towards positive infinity too.
        {-10, 0, 0, -10, -10},
        {-1005, -1000, -1000, -1000, -1005},
        {-2147483647 - 1, -2147483000, -2147483600, -2147483640, -2147483647 - 1},
        {2147483000, 2147483000, 2147483000, 2147483000, 2147483000},
        {2147483647, 0, 0, 0, 2147483647}, // the row's rounding raises, except at 1 ms
    };
    for (const TRoundCase& Case : Cases) {
        EXPECT_EQ(Tools.RoundUpTime(Case.Count, 0.001), Case.Thousandth) << Case.Count;
        if (Case.Count == 2147483647)
            continue;
        EXPECT_EQ(Tools.RoundUpTime(Case.Count, 1.0), Case.Second) << Case.Count;
        EXPECT_EQ(Tools.RoundUpTime(Case.Count, 0.1), Case.Tenth) << Case.Count;
        EXPECT_EQ(Tools.RoundUpTime(Case.Count, 0.01), Case.Hundredth) << Case.Count;
    }
}

TEST(RoundUpTime, NextStepBeyondTheLargestCountRaises) {
    EXPECT_EQ(Tools.RoundUpTime(2147483640, 0.01), 2147483640);
    EXPECT_THROW(Tools.RoundUpTime(2147483641, 0.01), ERangeError);
    EXPECT_EQ(Tools.RoundUpTime(2147483600, 0.1), 2147483600);
    EXPECT_THROW(Tools.RoundUpTime(2147483601, 0.1), ERangeError);
    EXPECT_THROW(Tools.RoundUpTime(2147483001, 1.0), ERangeError);
    EXPECT_THROW(Tools.RoundUpTime(2147483647, 1.0), ERangeError);
}

TEST(RoundUpTime, OtherStepsLeaveTheCount) {
    const double Inf = std::numeric_limits<double>::infinity();
    for (double Step : {0.0, 0.002, 0.5, 2.0, 10.0, -0.01, 1e300, Inf, -Inf,
                        std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(Tools.RoundUpTime(494771, Step), 494771) << Step;
    // Steps that round to 10, 100 or 1000 ms count as those.
    EXPECT_EQ(Tools.RoundUpTime(494771, 0.0100004), 494780);
    EXPECT_EQ(Tools.RoundUpTime(494771, 0.9999), 495000);
}

} // namespace
