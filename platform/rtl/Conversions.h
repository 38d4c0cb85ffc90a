// Text to number conversions of the runtime library. They read no global locale state:
// the decimal separator is passed in by the caller, who takes it from the user's settings.
#pragma once

#include <string_view>

namespace rtl {

// Reads Text as a decimal number in 80-bit extended precision. Accepted, and only accepted:
// optional blanks, an optional "+" or "-", digits with at most one DecimalSeparator (at least
// one digit), an optional exponent ("E" or "e", optional sign, digits), optional blanks.
// No hexadecimal, no "inf" or "nan", no thousands separators. A value beyond the extended
// range does not convert. Returns whether Text converted; Value is set only then.
bool TextToFloat(std::string_view Text, long double& Value, char DecimalSeparator);

// TextToFloat, with Default for text that does not convert.
long double StrToFloatDef(std::string_view Text, long double Default, char DecimalSeparator);

// The decimal separator of the user's regional settings (LC_ALL, LC_NUMERIC, LANG); read
// again whenever one of these variables changed since the last call, which comes from the
// user-interface thread. A separator of more than one byte, or an unknown locale, gives ".".
char RegionalDecimalSeparator();

// Stores an extended value as a double, rounded to nearest. Raises EOverflow when the
// value rounds beyond the largest finite double ("2" followed by 308 zeros, say).
double ExtendedToDouble(long double Value);

} // namespace rtl
