// The decimal conversion accepts exactly the plain decimal form: checked against a second,
// independent reading of that form. A converted value is finite, and storing it as a double
// raises only when it lies beyond the double range.
// Input: one byte choosing the separator ("," when even, "." when odd), then the text.
#include "FuzzCheck.h"
#include "rtl/Conversions.h"
#include "vcl/SysUtils.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <regex>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 1 || Size > 400)
        return 0;
    const char Separator = Data[0] % 2 == 0 ? ',' : '.';
    const std::string Text(reinterpret_cast<const char*>(Data + 1), Size - 1);
    long double Value = 0;
    const bool Converted = rtl::TextToFloat(Text, Value, Separator);

    static const std::regex CommaForm(" *[+-]?([0-9]+,?[0-9]*|,[0-9]+)([eE][+-]?[0-9]+)? *");
    static const std::regex PointForm(" *[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)? *");
    const bool WellFormed = std::regex_match(Text, Separator == ',' ? CommaForm : PointForm);
    FUZZ_REQUIRE(!Converted || WellFormed);
    if (!Converted)
        return 0;
    FUZZ_REQUIRE(std::isfinite(Value));
    try {
        const double Stored = rtl::ExtendedToDouble(Value);
        FUZZ_REQUIRE(std::isfinite(Stored));
    } catch (const EOverflow&) {
        FUZZ_REQUIRE(std::fabs(Value) > static_cast<long double>(DBL_MAX));
    }
    return 0;
}
