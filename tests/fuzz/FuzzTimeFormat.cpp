// Any count under any pattern gives a text of digits, ":", "," and a leading "-" for a
// negative count; under the patterns the calculation uses, it reads back to the count shown.
// Input: four bytes of count, one byte choosing the pattern, then the pattern's own bytes.
#include "FuzzCheck.h"
#include "timecalc/TivTools.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

struct TKnownPattern {
    const char* Pattern;
    std::int32_t Unit; // the smallest step the text shows, in ms
};

constexpr std::array<TKnownPattern, 5> KnownPatterns = {
    {{"ss", 1000}, {"ss,t", 100}, {"ss,tt", 10}, {"ss,ttt", 1}, {"hh:mm:ss,ttt", 1}}};

void CheckCharacters(const std::string& Text, std::int32_t Count) {
    FUZZ_REQUIRE(Text.size() <= 14);
    FUZZ_REQUIRE((Count < 0) == (!Text.empty() && Text[0] == '-'));
    int Commas = 0;
    for (std::size_t I = Count < 0 ? 1u : 0u; I < Text.size(); ++I) {
        const char C = Text[I];
        FUZZ_REQUIRE((C >= '0' && C <= '9') || C == ':' || C == ',');
        Commas += C == ',';
    }
    FUZZ_REQUIRE(Commas <= 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const TTivTools Tools(nullptr);
    if (Size < 5)
        return 0;
    std::uint32_t Bits = 0;
    std::memcpy(&Bits, Data, sizeof Bits);
    const auto Count = static_cast<std::int32_t>(Bits);
    const std::size_t Choice = Data[4];
    const std::string_view Rest(reinterpret_cast<const char*>(Data + 5), Size - 5);

    if (Choice < KnownPatterns.size()) {
        const TKnownPattern& Known = KnownPatterns[Choice];
        const std::string Text = Tools.MsToTimeText(Count, Known.Pattern);
        CheckCharacters(Text, Count);
        const bool ReadsBack = Text.find_first_of(":,") != std::string::npos;
        if (Count >= 0 && ReadsBack)
            FUZZ_REQUIRE(Tools.TimeTextToMs(Text) == Count - Count % Known.Unit);
    } else {
        CheckCharacters(Tools.MsToTimeText(Count, Rest), Count);
    }
    return 0;
}
