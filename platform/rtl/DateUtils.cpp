#include "rtl/DateUtils.h"

#include <cctype>
#include <chrono>
#include <ctime>

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

} // namespace

TFormatSettings& FormatSettings() {
    static TFormatSettings Settings;
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

} // namespace rtl
