// The program's version text, composed from three stamps compiled into it ("$Version: 01.00 $"
// and the like). The about command shows it; nothing else reads the stamps.
#pragma once

#include <string>
#include <string_view>

// The value of a stamp: the characters above code 32 after its first ":", less the stamp's
// last two characters (the closing blank and "$"); Default when that leaves nothing.
std::string ExtractStampValue(std::string_view Default, std::string_view Stamp);

std::string VersionNumber(); // "01.00"
std::string VersionDate();   // "2025-MAR-29"
std::string VersionTime();   // "18:34"

// "01.00 (2025-MAR-29; 18:34)"
std::string VersionText();
