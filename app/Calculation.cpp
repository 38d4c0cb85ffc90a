#include "Calculation.h"

#include "rtl/Conversions.h"
#include "timecalc/TivTools.h"
#include "vcl/SysUtils.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <new>

namespace {

// The step of each resolution in seconds, the value passed to RoundUpTime.
constexpr std::array<double, 4> ResolutionSteps = {1.0, 0.1, 0.01, 0.001};

std::int32_t Wrap(std::uint32_t Value) {
    return static_cast<std::int32_t>(Value);
}

// The product in 80-bit extended precision, rounded to the nearest integer (ties to even);
// its low 32 bits are the count. A product of 2^63 or more in magnitude has no 64-bit
// integer and fails.
std::int32_t Product(std::int32_t Count, double Factor) {
    const long double Rounded =
        std::nearbyintl(static_cast<long double>(Count) * static_cast<long double>(Factor));
    if (!(std::fabs(Rounded) < 0x1p63L))
        throw EInvalidOp("Ungültige Gleitkommaoperation");
    const auto Integer = static_cast<std::int64_t>(Rounded);
    return Wrap(static_cast<std::uint32_t>(static_cast<std::uint64_t>(Integer)));
}

// A negative result handed over to the first operand keeps its sign: a time whose text
// begins with "-" (after blanks) counts negative. Reading the time itself drops the sign.
std::int32_t Operand(const TTivTools& TivTools, std::string_view Text) {
    const std::int32_t Count = TivTools.TimeTextToMs(Text);
    const std::size_t First = Text.find_first_not_of(' ');
    const bool Negative = First != std::string_view::npos && Text[First] == '-';
    return Negative ? Wrap(0u - static_cast<std::uint32_t>(Count)) : Count;
}

std::int32_t ResultCount(const TTivTools& TivTools, const TCalculationInputs& Inputs) {
    // Both operands are always read, also the second one for "*", where it gives the factor.
    const std::int32_t First = Operand(TivTools, Inputs.MainText);
    const std::int32_t Second = Operand(TivTools, Inputs.CalcText);
    const auto U1 = static_cast<std::uint32_t>(First);
    const auto U2 = static_cast<std::uint32_t>(Second);
    switch (Inputs.FunctionIndex) {
    case 0:
        return Wrap(U1 + U2);
    case 1:
        return Wrap(U1 - U2);
    case 2: {
        const long double Factor =
            rtl::StrToFloatDef(Inputs.CalcText, 0.0L, Inputs.DecimalSeparator);
        return Product(First, rtl::ExtendedToDouble(Factor));
    }
    default:
        // No operation selected: there is nothing to show.
        throw Exception("Keine Rechenart gewählt.");
    }
}

} // namespace

std::string CalculateResult(const TTivTools& TivTools, const TCalculationInputs& Inputs) {
    std::string Result;
    try {
        if (Inputs.MainText.empty() || Inputs.CalcText.empty())
            return Result;
        std::int32_t Count = ResultCount(TivTools, Inputs);
        const int Resolution = Inputs.ResolutionIndex;
        if (Inputs.RoundItIAAF && Resolution >= 0 &&
            Resolution < static_cast<int>(ResolutionSteps.size()))
            Count =
                TivTools.RoundUpTime(Count, ResolutionSteps[static_cast<std::size_t>(Resolution)]);
        // The item texts begin with "hh:mm:"; without it, hours and minutes show only when
        // they are not zero.
        const std::string_view Pattern =
            Inputs.ResolutionText.substr(std::min<std::size_t>(6, Inputs.ResolutionText.size()));
        // A negative count comes back as "-" and its magnitude.
        Result = TivTools.MsToTimeText(Count, Pattern);
    } catch (const Exception&) {
        Result.clear();
    } catch (const std::bad_alloc&) {
        Result.clear();
    }
    return Result;
}
