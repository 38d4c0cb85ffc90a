#include "rtl/Conversions.h"

#include "vcl/SysUtils.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string>
#include <string_view>

namespace rtl {
namespace {

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// Checks the accepted form and writes the number in the form strtold reads in the "C"
// locale (the separator as "."), without the blanks. Returns false for any other text.
bool Normalize(std::string_view Text, char DecimalSeparator, std::string& Out) {
    std::size_t I = 0;
    const std::size_t N = Text.size();
    while (I < N && Text[I] == ' ')
        ++I;
    if (I < N && (Text[I] == '+' || Text[I] == '-'))
        Out += Text[I++];
    bool Digits = false;
    bool Separator = false;
    for (; I < N; ++I) {
        if (IsDigit(Text[I])) {
            Out += Text[I];
            Digits = true;
        } else if (Text[I] == DecimalSeparator && !Separator) {
            Out += '.';
            Separator = true;
        } else {
            break;
        }
    }
    if (!Digits)
        return false;
    if (I < N && (Text[I] == 'e' || Text[I] == 'E')) {
        Out += 'e';
        ++I;
        if (I < N && (Text[I] == '+' || Text[I] == '-'))
            Out += Text[I++];
        bool ExponentDigits = false;
        for (; I < N && IsDigit(Text[I]); ++I) {
            Out += Text[I];
            ExponentDigits = true;
        }
        if (!ExponentDigits)
            return false;
    }
    while (I < N && Text[I] == ' ')
        ++I;
    return I == N;
}

locale_t CLocale() {
    static const locale_t Locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (Locale == static_cast<locale_t>(nullptr))
        throw Exception("Das Gebietsschema \"C\" ist nicht verfügbar.");
    return Locale;
}

} // namespace

bool TextToFloat(std::string_view Text, long double& Value, char DecimalSeparator) {
    std::string Number;
    if (!Normalize(Text, DecimalSeparator, Number))
        return false;
    // The text is validated, so strtold reads all of it; only its range is left to check.
    const long double Result = strtold_l(Number.c_str(), nullptr, CLocale());
    if (std::isinf(Result))
        return false;
    Value = Result;
    return true;
}

long double StrToFloatDef(std::string_view Text, long double Default, char DecimalSeparator) {
    long double Value = Default;
    return TextToFloat(Text, Value, DecimalSeparator) ? Value : Default;
}

namespace {

// The user's separator as the locale named by the environment gives it.
char ReadDecimalSeparator() {
    const locale_t User = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (User == static_cast<locale_t>(nullptr))
        return '.';
    const char* Radix = nl_langinfo_l(RADIXCHAR, User);
    const char Separator =
        (Radix != nullptr && Radix[0] != '\0' && Radix[1] == '\0') ? Radix[0] : '.';
    freelocale(User);
    return Separator;
}

std::string_view Variable(const char* Name) {
    const char* Value = std::getenv(Name);
    return Value != nullptr ? Value : "";
}

} // namespace

char RegionalDecimalSeparator() {
    // Reading a locale is slow next to a calculation: the answer is kept for as long as the
    // variables that choose the locale stay the same.
    static std::string LastAll, LastNumeric, LastLang;
    static char Separator = ReadDecimalSeparator();
    static bool Known = false;
    const std::string_view All = Variable("LC_ALL");
    const std::string_view Numeric = Variable("LC_NUMERIC");
    const std::string_view Lang = Variable("LANG");
    if (!Known || All != LastAll || Numeric != LastNumeric || Lang != LastLang) {
        LastAll = All;
        LastNumeric = Numeric;
        LastLang = Lang;
        Separator = ReadDecimalSeparator();
        Known = true;
    }
    return Separator;
}

double ExtendedToDouble(long double Value) {
    // Halfway between the largest finite double and 2^1024; from here on, rounding to
    // nearest (ties to even) gives infinity.
    static const long double Limit = std::ldexp(2.0L - std::ldexp(1.0L, -53), 1023);
    if (std::fabs(Value) >= Limit)
        throw EOverflow("Gleitkommaüberlauf bei Operation");
    return static_cast<double>(Value);
}

} // namespace rtl
