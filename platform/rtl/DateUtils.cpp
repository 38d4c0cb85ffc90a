#include "rtl/DateUtils.h"

#include <cctype>
#include <chrono>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

namespace rtl {
namespace {

std::string Padded(int Value, std::size_t Width) {
    std::string Digits = std::to_string(Value);
    if (Digits.size() < Width)
        Digits.insert(0, Width - Digits.size(), '0');
    return Digits;
}

// One field of a date: Letter repeated Count times.
std::string DateField(char Letter, std::size_t Count, const DateTimeParts& Date) {
    switch (Letter) {
    case 'd':
        return Padded(Date.Day, Count >= 2 ? 2 : 1);
    case 'm':
        return Padded(Date.Month, Count >= 2 ? 2 : 1);
    default: // 'y': up to two letters give the year's last two digits
        return Count <= 2 ? Padded(Date.Year % 100, 2) : Padded(Date.Year, 4);
    }
}

char Lower(char C) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
}

bool StartsWithNoCase(std::string_view Text, std::string_view Prefix) {
    if (Text.size() < Prefix.size())
        return false;
    for (std::size_t I = 0; I < Prefix.size(); ++I)
        if (Lower(Text[I]) != Prefix[I])
            return false;
    return true;
}

// A strftime time format as a format of ours. Conversions that show no hour, minute, second
// or marker are left out.
std::string TimeFormatOf(std::string_view Posix, std::string_view TwelveHourPosix) {
    std::string Format;
    for (std::size_t I = 0; I < Posix.size(); ++I) {
        if (Posix[I] != '%' || I + 1 == Posix.size()) {
            Format += Posix[I];
            continue;
        }
        switch (Posix[++I]) {
        case 'H':
            Format += "hh";
            break;
        case 'k':
        case 'I':
        case 'l':
            Format += "h";
            break;
        case 'M':
            Format += "nn";
            break;
        case 'S':
            Format += "ss";
            break;
        case 'p':
        case 'P':
            Format += "ampm";
            break;
        case 'T':
            Format += "hh:nn:ss";
            break;
        case 'R':
            Format += "hh:nn";
            break;
        case 'r':
            Format += TimeFormatOf(TwelveHourPosix, "%I:%M:%S %p");
            break;
        case '%':
            Format += '%';
            break;
        default:
            break;
        }
    }
    return Format;
}

} // namespace

TFormatSettings RegionalFormatSettings() {
    TFormatSettings Settings;
    const locale_t User = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (User == static_cast<locale_t>(nullptr))
        return Settings;
    const std::string Format =
        TimeFormatOf(nl_langinfo_l(T_FMT, User), nl_langinfo_l(T_FMT_AMPM, User));
    if (Format.find('h') != std::string::npos)
        Settings.LongTimeFormat = Format;
    Settings.TimeAMString = nl_langinfo_l(AM_STR, User);
    Settings.TimePMString = nl_langinfo_l(PM_STR, User);
    freelocale(User);
    return Settings;
}

TFormatSettings& FormatSettings() {
    static TFormatSettings Settings = RegionalFormatSettings();
    return Settings;
}

DateTimeParts Now() {
    const auto Clock = std::chrono::system_clock::now();
    const std::time_t Seconds = std::chrono::system_clock::to_time_t(Clock);
    const auto Since = Clock.time_since_epoch();
    const auto Milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(Since) -
                              std::chrono::duration_cast<std::chrono::seconds>(Since);
    std::tm Local{};
    localtime_r(&Seconds, &Local);
    return {Local.tm_year + 1900,
            Local.tm_mon + 1,
            Local.tm_mday,
            Local.tm_hour,
            Local.tm_min,
            Local.tm_sec,
            static_cast<int>(Milliseconds.count())};
}

std::string FormatDate(std::string_view Format, const DateTimeParts& Date) {
    std::string Text;
    for (std::size_t I = 0; I < Format.size();) {
        const char Letter = Lower(Format[I]);
        std::size_t Count = 1;
        while (I + Count < Format.size() && Lower(Format[I + Count]) == Letter)
            ++Count;
        if (Letter == 'd' || Letter == 'm' || Letter == 'y')
            Text += DateField(Letter, Count, Date);
        else
            Text.append(Format.substr(I, Count));
        I += Count;
    }
    return Text;
}

std::string DateToStr(const DateTimeParts& Date) {
    return FormatDate(FormatSettings().ShortDateFormat, Date);
}

std::string FormatTime(std::string_view Format, const DateTimeParts& Time,
                       const TFormatSettings& Settings) {
    const bool TwelveHours = [&] {
        for (std::size_t I = 0; I < Format.size(); ++I)
            if (StartsWithNoCase(Format.substr(I), "ampm"))
                return true;
        return false;
    }();
    std::string Text;
    for (std::size_t I = 0; I < Format.size();) {
        if (StartsWithNoCase(Format.substr(I), "ampm")) {
            Text += Time.Hour < 12 ? Settings.TimeAMString : Settings.TimePMString;
            I += 4;
            continue;
        }
        const char Letter = Lower(Format[I]);
        std::size_t Count = 1;
        while (I + Count < Format.size() && Lower(Format[I + Count]) == Letter)
            ++Count;
        const std::size_t Width = Count >= 2 ? 2 : 1;
        if (Letter == 'h')
            Text += Padded(TwelveHours ? (Time.Hour + 11) % 12 + 1 : Time.Hour, Width);
        else if (Letter == 'n')
            Text += Padded(Time.Minute, Width);
        else if (Letter == 's')
            Text += Padded(Time.Second, Width);
        else
            Text.append(Format.substr(I, Count));
        I += Count;
    }
    return Text;
}

std::string DateTimeToStr(const DateTimeParts& DateTime) {
    std::string Text = DateToStr(DateTime);
    if (DateTime.Hour != 0 || DateTime.Minute != 0 || DateTime.Second != 0)
        Text.append(" ").append(
            FormatTime(FormatSettings().LongTimeFormat, DateTime, FormatSettings()));
    return Text;
}

} // namespace rtl
