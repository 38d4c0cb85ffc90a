// Any text reads as a count of zero or more, or raises ERangeError when its time lies above
// the largest count; reading never crashes.
#include "FuzzCheck.h"
#include "timecalc/TivTools.h"
#include "vcl/SysUtils.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const TTivTools Tools(nullptr);
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    try {
        FUZZ_REQUIRE(Tools.TimeTextToMs(Text) >= 0);
    } catch (const ERangeError&) {
    }
    return 0;
}
