// The whole calculation on any inputs: it never crashes, and its result is empty or a time
// text of digits, ":", "," and a leading "-".
// Input: bytes for the operation, the resolution, the round-up option and the separator,
// then the two operand texts separated by a NUL byte.
#include "Calculation.h"
#include "FuzzCheck.h"
#include "timecalc/TivTools.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const TTivTools Tools(nullptr);
    static constexpr std::array<const char*, 5> ResolutionTexts = {
        "hh:mm:ss", "hh:mm:ss,t", "hh:mm:ss,tt", "hh:mm:ss,ttt", "hh:mm"};
    if (Size < 4)
        return 0;
    const std::string_view Operands(reinterpret_cast<const char*>(Data + 4), Size - 4);
    const std::size_t Split = std::min(Operands.find('\0'), Operands.size());
    TCalculationInputs Inputs;
    Inputs.FunctionIndex = Data[0] % 4 - 1;
    Inputs.ResolutionIndex = Data[1] % 5;
    Inputs.ResolutionText = ResolutionTexts[static_cast<std::size_t>(Inputs.ResolutionIndex)];
    Inputs.RoundItIAAF = Data[2] % 2 == 1;
    Inputs.DecimalSeparator = Data[3] % 2 == 0 ? ',' : '.';
    Inputs.MainText = Operands.substr(0, Split);
    Inputs.CalcText = Operands.substr(std::min(Split + 1, Operands.size()));

    const std::string Result = CalculateResult(Tools, Inputs);
    if (Inputs.MainText.empty() || Inputs.CalcText.empty())
        FUZZ_REQUIRE(Result.empty());
    for (std::size_t I = 0; I < Result.size(); ++I) {
        const char C = Result[I];
        FUZZ_REQUIRE((C >= '0' && C <= '9') || C == ':' || C == ',' || (C == '-' && I == 0));
    }
    return 0;
}
