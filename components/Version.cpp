#include "Version.h"

namespace {

constexpr std::string_view VersionStamp = "$Version: 01.00 $";
constexpr std::string_view VersDateStamp = "$VersDate: 2025-MAR-29 $";
constexpr std::string_view VersTimeStamp = "$VersTime: 18:34 $";

} // namespace

std::string ExtractStampValue(std::string_view Default, std::string_view Stamp) {
    std::string Value;
    const std::size_t Colon = Stamp.find(':');
    if (Colon != std::string_view::npos) {
        // The last two characters close the stamp and are never taken, whatever they are.
        const std::size_t End = Stamp.size() >= 2 ? Stamp.size() - 2 : 0;
        for (std::size_t I = Colon + 1; I < End; ++I)
            if (static_cast<unsigned char>(Stamp[I]) > 32)
                Value += Stamp[I];
    }
    return Value.empty() ? std::string(Default) : Value;
}

std::string VersionNumber() { return ExtractStampValue("00.00.00", VersionStamp); }

std::string VersionDate() { return ExtractStampValue("0000-Jan-00", VersDateStamp); }

std::string VersionTime() { return ExtractStampValue("00:00", VersTimeStamp); }

std::string VersionText() {
    return VersionNumber() + " (" + VersionDate() + "; " + VersionTime() + ")";
}
