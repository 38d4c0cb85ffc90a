#include "rtl/Conversions.h"

#include "vcl/SysUtils.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

struct TFloatCase {
    std::string Text;
    char Separator;
    std::optional<long double> Value; // none: the text does not convert
};

TEST(TextToFloat, AcceptsOnlyPlainDecimalNumbers) {
    const std::vector<TFloatCase> Cases = {
        {"0,23", ',', 0.23L},
        {"2", ',', 2.0L},
        {"  +1,5e3  ", ',', 1500.0L},
        {"-,5", ',', -0.5L},
        {"5,", ',', 5.0L},
        {"1E-2", ',', 0.01L},
        {"0.23", '.', 0.23L},
        {"1" + std::string(4933, '0'), ',', std::nullopt},
        {"1e4932", ',', 1e4932L},
        {"1e4933", ',', std::nullopt},
        {"2" + std::string(308, '0'), ',', 2e308L},
        {"1e-5000", ',', 0.0L},
        {"0.23", ',', std::nullopt},
        {"0,23", '.', std::nullopt},
        {"", ',', std::nullopt},
        {"   ", ',', std::nullopt},
        {",", ',', std::nullopt},
        {"+", ',', std::nullopt},
        {"e5", ',', std::nullopt},
        {"1e", ',', std::nullopt},
        {"1e+", ',', std::nullopt},
        {"1,2,3", ',', std::nullopt},
        {"1 000", ',', std::nullopt},
        {"1.000,5", ',', std::nullopt},
        {"+-1", ',', std::nullopt},
        {"0x10", ',', std::nullopt},
        {"inf", ',', std::nullopt},
        {"nan", ',', std::nullopt},
        {"\t1", ',', std::nullopt},
        {"1,5 x", ',', std::nullopt},
        {std::string("1\0", 2), ',', std::nullopt},
    };
    for (const TFloatCase& Case : Cases) {
        long double Value = -7.0L;
        const bool Converted = rtl::TextToFloat(Case.Text, Value, Case.Separator);
        EXPECT_EQ(Converted, Case.Value.has_value()) << '"' << Case.Text.substr(0, 20) << '"';
        EXPECT_EQ(Value, Case.Value.value_or(-7.0L)) << '"' << Case.Text.substr(0, 20) << '"';
        EXPECT_EQ(rtl::StrToFloatDef(Case.Text, -3.0L, Case.Separator), Case.Value.value_or(-3.0L));
    }
}

TEST(TextToFloat, KeepsExtendedPrecision) {
    // 2^64 + 1 needs 65 bits; 2^63 + 1 fits the 64-bit significand exactly.
    long double Value = 0;
    ASSERT_TRUE(rtl::TextToFloat("9223372036854775809", Value, ','));
    EXPECT_EQ(Value, 0x1p63L + 1.0L);
}

TEST(ExtendedToDouble, RaisesBeyondTheLargestDouble) {
    EXPECT_EQ(rtl::ExtendedToDouble(0.5L), 0.5);
    EXPECT_EQ(rtl::ExtendedToDouble(static_cast<long double>(DBL_MAX)), DBL_MAX);
    EXPECT_EQ(rtl::ExtendedToDouble(-static_cast<long double>(DBL_MAX)), -DBL_MAX);
    // Just below halfway to 2^1024 still rounds to the largest double.
    const long double Halfway = std::ldexp(2.0L - std::ldexp(1.0L, -53), 1023);
    EXPECT_EQ(rtl::ExtendedToDouble(std::nextafter(Halfway, 0.0L)), DBL_MAX);
    EXPECT_THROW(rtl::ExtendedToDouble(Halfway), EOverflow);
    EXPECT_THROW(rtl::ExtendedToDouble(2e308L), EOverflow);
    EXPECT_THROW(rtl::ExtendedToDouble(-2e308L), EOverflow);
    EXPECT_THROW(rtl::ExtendedToDouble(1e4932L), Exception);
}

class RegionalDecimalSeparator : public ::testing::Test {
protected:
    void TearDown() override { unsetenv("LC_ALL"); }
};

TEST_F(RegionalDecimalSeparator, FollowsTheUsersLocale) {
    const std::vector<std::pair<const char*, char>> Cases = {
        {"de_DE.UTF-8", ','}, {"en_US.UTF-8", '.'}, {"C", '.'}, {"xx_XX.UTF-8", '.'}};
    for (const auto& [Locale, Separator] : Cases) {
        setenv("LC_ALL", Locale, 1);
        EXPECT_EQ(rtl::RegionalDecimalSeparator(), Separator) << Locale;
    }
}

} // namespace
