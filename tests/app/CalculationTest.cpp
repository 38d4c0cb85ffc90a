#include "Calculation.h"

#include "timecalc/TivTools.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr std::array<const char*, 4> ResolutionTexts = {"hh:mm:ss", "hh:mm:ss,t", "hh:mm:ss,tt",
                                                        "hh:mm:ss,ttt"};
enum { Plus, Minus, Times };

struct TCase {
    const char* Name;
    std::string Main;
    std::string Calc;
    int Function;
    int Resolution;
    bool RoundUp;
    std::string Expected;
};

std::string Calculate(const TCase& Case, char Separator = ',') {
    const TTivTools Tools(nullptr);
    TCalculationInputs Inputs;
    Inputs.MainText = Case.Main;
    Inputs.CalcText = Case.Calc;
    Inputs.FunctionIndex = Case.Function;
    Inputs.RoundItIAAF = Case.RoundUp;
    Inputs.ResolutionIndex = Case.Resolution;
    Inputs.ResolutionText = ResolutionTexts[static_cast<std::size_t>(Case.Resolution & 3)];
    Inputs.DecimalSeparator = Separator;
    return CalculateResult(Tools, Inputs);
}

TEST(CalculateResult, Results) {
    const std::string Max = "596:31:23,647";
    const std::vector<TCase> Cases = {
        {"initial window", "8:14,54", "0,23", Plus, 2, false, "8:14,77"},
        {"initial window, rounded", "8:14,54", "0,23", Plus, 2, true, "8:14,77"},
        {"initial, whole seconds", "8:14,54", "0,23", Plus, 0, false, "8:14"},
        {"initial, whole seconds rounded", "8:14,54", "0,23", Plus, 0, true, "8:15"},
        {"initial, milliseconds", "8:14,54", "0,23", Plus, 3, false, "8:14,770"},
        {"difference", "8:14,54", "0,23", Minus, 2, false, "8:14,31"},
        {"product", "8:14,54", "0,23", Times, 2, false, "1:53,74"},
        {"product, rounded", "8:14,54", "0,23", Times, 2, true, "1:53,75"},
        {"negative difference", "1:00", "2:00", Minus, 2, false, "-1:00,00"},
        {"negative difference, rounded", "1:00", "2:00,005", Minus, 2, true, "-1:00,00"},
        {"tie to even 0", "0,001", "0,5", Times, 3, false, "00,000"},
        {"tie to even 2 from 3", "0,003", "0,5", Times, 3, false, "00,002"},
        {"tie to even 2 from 5", "0,005", "0,5", Times, 3, false, "00,002"},
        {"time as factor", "8:14,54", "1:30", Times, 2, false, "00,00"},
        {"bare factor", "8:14,54", "2", Times, 2, false, "16:29,08"},
        {"bare number adds ms", "8:14,54", "2", Plus, 3, false, "8:14,542"},
        {"point is no separator in a factor", "8:14,54", "0.23", Times, 2, false, "00,00"},
        {"point is a comma in a time", "8:14,54", "0.23", Plus, 2, false, "8:14,77"},
        {"negative factor", "1:00", "-1,5", Times, 2, false, "-1:30,00"},
        {"factor with exponent", "1:00", " 1e1 ", Times, 2, false, "10:00,00"},
        {"empty first", "", "0,23", Plus, 2, false, ""},
        {"empty second", "8:14,54", "", Plus, 2, false, ""},
        {"blank first is no empty text", " ", "0,23", Plus, 2, false, "00,23"},
        {"factor beyond double", "1", "2" + std::string(308, '0'), Times, 2, false, ""},
        {"largest double factor", "0", "1,7976931348623157e308", Times, 2, false, "00,00"},
        {"product of 2^63", "0,001", "9223372036854775808", Times, 2, false, ""},
        {"product of 9,3e18", "0,001", "9,3e18", Times, 2, false, ""},
        {"product below 2^63 wraps", "0,001", "9,2e18", Times, 2, false, "-458:36:22,91"},
        {"sum wraps", Max, "0,002", Plus, 3, false, "-596:31:23,647"},
        {"product wraps", Max, "2", Times, 3, false, "-00,002"},
        {"most negative count", Max, "0,001", Plus, 3, false, "-596:31:23,648"},
        {"most negative count, rounded", Max, "0,001", Plus, 2, true, "-596:31:23,64"},
        {"hundreds of hours", "200:00:00", "300:00:00,5", Plus, 2, false, "500:00:00,50"},
        {"operand above the largest count", "600:00:00", "1", Plus, 2, false, ""},
        {"second operand read also for *", "1:00", "600:00:00", Times, 2, false, ""},
        {"round-up beyond the largest count", Max, "0", Plus, 2, true, ""},
        {"no operation", "8:14,54", "0,23", -1, 2, false, ""},
        // A negative result handed over to the first operand keeps its sign.
        {"handed-over negative plus", "-1:00,00", "0,23", Plus, 2, false, "-59,77"},
        {"handed-over negative minus", " -1:00", "0,30", Minus, 2, false, "-1:00,30"},
        {"handed-over negative times", "-1:00", "2", Times, 2, false, "-2:00,00"},
        {"negative second operand", "8:14,54", "-0,23", Plus, 2, false, "8:14,31"},
        {"a sign inside counts nothing", "1-:00", "0", Plus, 2, false, "1:00,00"},
        {"resolution outside the list: no rounding", "8:14,54", "0,23", Plus, 6, true, "8:14,77"},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(Calculate(Case), Case.Expected) << Case.Name;
}

TEST(CalculateResult, FactorFollowsTheRegionalSeparator) {
    EXPECT_EQ(Calculate({"", "8:14,54", "0.23", Times, 2, false, ""}, '.'), "1:53,74");
    EXPECT_EQ(Calculate({"", "8:14,54", "0,23", Times, 2, false, ""}, '.'), "00,00");
}

TEST(CalculateResult, PatternIsTheItemTextLessSixCharacters) {
    const TTivTools Tools(nullptr);
    TCalculationInputs Inputs{"8:14,54", "0,23", Plus, false, 2, "HH:MM:ss,tt", ','};
    EXPECT_EQ(CalculateResult(Tools, Inputs), "8:14,77");
    Inputs.ResolutionText = "hh:mm:";
    EXPECT_EQ(CalculateResult(Tools, Inputs), "8");
    Inputs.ResolutionText = "hh";
    EXPECT_EQ(CalculateResult(Tools, Inputs), "8");
}

} // namespace
