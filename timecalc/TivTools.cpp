#include "timecalc/TivTools.h"

#include "vcl/SysUtils.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr std::int64_t MaxCount = std::numeric_limits<std::int32_t>::max();
constexpr std::uint32_t MsPerHour = 3600000;
constexpr std::uint32_t MsPerMinute = 60000;
constexpr std::uint32_t MsPerSecond = 1000;

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// The digits of one field of a time text. Leading zeros are allowed; a value above the
// largest count counts as 0, so that one absurd field cannot wrap the total.
class TSegment {
public:
    void Append(char Digit) {
        FEmpty = false;
        if (FValue <= MaxCount)
            FValue = FValue * 10 + (Digit - '0');
    }
    bool Empty() const { return FEmpty; }
    std::int64_t Value() const { return FValue > MaxCount ? 0 : FValue; }
    void Clear() { *this = TSegment(); }

private:
    std::int64_t FValue = 0;
    bool FEmpty = true;
};

// The time of a text may not lie above the largest count: a wrapped value would show a
// plainly wrong result, so the calculation shows none instead.
std::int64_t CheckedTotal(std::int64_t Total) {
    if (Total > MaxCount)
        throw ERangeError("Die Zeit liegt über 596:31:23,647.");
    return Total;
}

// Keeps digits, ":" and "," ("." becomes ","). Only the first "," separates the fraction: a
// second "," and everything after it are dropped, so "1,5,3" reads as "1,5".
std::string CleanTimeText(std::string_view Text) {
    std::string Cleaned;
    Cleaned.reserve(Text.size());
    bool Comma = false;
    for (char C : Text) {
        if (C == '.')
            C = ',';
        if (C == ',') {
            if (Comma)
                break;
            Comma = true;
        }
        if (IsDigit(C) || C == ':' || C == ',')
            Cleaned += C;
    }
    return Cleaned;
}

// Adds up the fields of a cleaned text that holds a ",": each ":" multiplies what came before
// by 60, the "," by 1000; a separator after an empty field neither adds nor multiplies. Only
// the first three digits of the fraction count: "8:14,5432" reads as 8:14,543.
std::int64_t Accumulate(std::string_view Cleaned) {
    std::int64_t Total = 0;
    TSegment Segment;
    bool InFraction = false;
    int FractionDigits = 0;
    for (char C : Cleaned) {
        if (IsDigit(C)) {
            if (InFraction) {
                if (FractionDigits == 3)
                    continue;
                ++FractionDigits;
            }
            Segment.Append(C);
            continue;
        }
        if (!Segment.Empty())
            Total = CheckedTotal((Total + Segment.Value()) * (C == ':' ? 60 : MsPerSecond));
        Segment.Clear();
        InFraction = C == ',';
        FractionDigits = 0;
    }
    return CheckedTotal(Total + Segment.Value());
}

// Which fields a resolution pattern names. Letters count without regard to case; of the
// characters h m s t : , . only the presence of "h", "m", "s", "ss" and of "," followed
// directly by one, two or three "t" matters; every other character is ignored.
struct TPatternFields {
    bool Hours = false;
    bool Minutes = false;
    bool Seconds = false;
    bool TwoDigitSeconds = false;
    int FractionDigits = 0;
};

TPatternFields ReadPattern(std::string_view Pattern) {
    TPatternFields Fields;
    char Previous = 0;
    int TsAfterComma = -1; // -1 while no "," directly precedes the current run of "t"
    for (char C : Pattern) {
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
        if (C != 'h' && C != 'm' && C != 's' && C != 't' && C != ':' && C != ',' && C != '.')
            continue;
        Fields.Hours = Fields.Hours || C == 'h';
        Fields.Minutes = Fields.Minutes || C == 'm';
        Fields.Seconds = Fields.Seconds || C == 's';
        Fields.TwoDigitSeconds = Fields.TwoDigitSeconds || (C == 's' && Previous == 's');
        if (C == ',') {
            TsAfterComma = 0;
        } else if (C == 't' && TsAfterComma >= 0) {
            ++TsAfterComma;
            Fields.FractionDigits = std::max(Fields.FractionDigits, std::min(TsAfterComma, 3));
        } else {
            TsAfterComma = -1;
        }
        Previous = C;
    }
    return Fields;
}

// Writes a count of zero or more after the sign. The working text is "hh:mm:ss,ttt" with blanks as
// gaps; the hours take as many digits as they need (at least two), so counts of 100 hours and more
// keep every field in its place: 444306780 at "ss,tt" gives "123:25:06,78".
std::string FormatCount(std::uint32_t Count, const TPatternFields& Fields, std::string_view Sign) {
    const std::uint32_t Hours = Count / MsPerHour;
    const std::uint32_t Rest = Count - Hours * MsPerHour;
    const std::uint32_t Minutes = Rest / MsPerMinute;
    const std::uint32_t Seconds = (Rest - Minutes * MsPerMinute) / MsPerSecond;
    const std::uint32_t Millis = Count % MsPerSecond;

    std::array<char, 24> W{};
    char* End = std::to_chars(W.data(), W.data() + 10, Hours).ptr;
    std::size_t HourDigits = static_cast<std::size_t>(End - W.data());
    if (HourDigits == 1) {
        W[1] = W[0];
        W[0] = '0';
        HourDigits = 2;
    }
    // O shifts the positions after the hours when they take more than two digits.
    const std::size_t O = HourDigits - 2;
    const std::array<char, 10> Tail = {':',
                                       static_cast<char>('0' + Minutes / 10),
                                       static_cast<char>('0' + Minutes % 10),
                                       ':',
                                       static_cast<char>('0' + Seconds / 10),
                                       static_cast<char>('0' + Seconds % 10),
                                       ',',
                                       static_cast<char>('0' + Millis / 100),
                                       static_cast<char>('0' + Millis / 10 % 10),
                                       static_cast<char>('0' + Millis % 10)};
    std::copy(Tail.begin(), Tail.end(), W.begin() + static_cast<std::ptrdiff_t>(2 + O));
    const std::size_t Length = 12 + O;

    // Hours not named: a leading zero goes; hours of zero go with their ":".
    if (!Fields.Hours && W[0] == '0') {
        W[0] = ' ';
        if (W[1] == '0')
            W[1] = W[2 + O] = ' ';
    }
    // Minutes not named: after left-out hours, a leading zero goes; minutes of zero go with
    // their ":".
    if (!Fields.Minutes && W[0] == ' ' && W[1] == ' ' && W[2] == ' ' && W[3 + O] == '0') {
        W[3 + O] = ' ';
        if (W[4 + O] == '0')
            W[4 + O] = W[5 + O] = ' ';
    }
    // Seconds not named: they go with their ",". A single "s" drops a leading zero.
    if (!Fields.Seconds)
        W[6 + O] = W[7 + O] = W[8 + O] = ' ';
    else if (!Fields.TwoDigitSeconds && W[6 + O] == '0')
        W[6 + O] = ' ';
    // The fraction shows as many digits as the pattern names, and only after the seconds:
    // a pattern with a fraction but no seconds shows neither, so that digits never follow
    // the minutes directly.
    const std::size_t FractionDigits =
        Fields.Seconds ? static_cast<std::size_t>(Fields.FractionDigits) : 0;
    const std::size_t FirstCut = FractionDigits == 0 ? 8 + O : 9 + O + FractionDigits;
    for (std::size_t I = FirstCut; I < Length; ++I)
        W[I] = ' ';

    std::string Text(Sign);
    for (std::size_t I = 0; I < Length; ++I)
        if (W[I] != ' ')
            Text += W[I];
    for (char Trailing : {':', ',', '.'})
        if (Text.size() > Sign.size() + 1 && Text.back() == Trailing)
            Text.pop_back();
    return Text;
}

} // namespace

TTivTools::TTivTools(TComponent* AOwner) : TComponent(AOwner) {}

TTivTools::~TTivTools() = default;

std::int32_t TTivTools::TimeTextToMs(std::string_view Text) const {
    if (Text.empty())
        return 0;
    std::string Cleaned = CleanTimeText(Text);
    const std::size_t Comma = Cleaned.find(',');
    if (Comma == std::string::npos && Cleaned.find(':') == std::string::npos) {
        TSegment Bare;
        for (char C : Cleaned)
            Bare.Append(C);
        return static_cast<std::int32_t>(Bare.Value());
    }
    if (Comma == std::string::npos)
        Cleaned += ",000";
    const std::size_t FirstComma = Cleaned.find(',');
    while (Cleaned.size() - FirstComma - 1 < 3)
        Cleaned += '0';
    return static_cast<std::int32_t>(Accumulate(Cleaned));
}

void TTivTools::TimeKeyFilter(TObject* /*Sender*/, char& Key) const {
    const bool Allowed =
        Key == '\b' || Key == '\t' || Key == ',' || Key == '.' || Key == ':' || IsDigit(Key);
    if (!Allowed)
        Key = '\0';
}

std::string TTivTools::MsToTimeText(std::int32_t Count, std::string_view Pattern) const {
    const TPatternFields Fields = ReadPattern(Pattern);
    // A negative count is written as "-" and its magnitude, the most negative count
    // included: -2147483648 at "ss,ttt" gives "-596:31:23,648".
    if (Count < 0)
        return FormatCount(0u - static_cast<std::uint32_t>(Count), Fields, "-");
    return FormatCount(static_cast<std::uint32_t>(Count), Fields, "");
}

std::int32_t TTivTools::RoundUpTime(std::int32_t Count, double StepSeconds) const {
    // Any step other than 10, 100 or 1000 ms, including infinite and undefined ones, leaves
    // the count as it is.
    const double StepMs = std::nearbyint(StepSeconds * 1000.0);
    if (StepMs != 10.0 && StepMs != 100.0 && StepMs != 1000.0)
        return Count;
    const auto Step = static_cast<std::int64_t>(StepMs);
    // Negative counts move towards positive infinity, as those above minus one step do:
    // -1005 at 10 ms gives -1000, which shows the smaller magnitude.
    if (Count < 0)
        return static_cast<std::int32_t>(Count / Step * Step);
    const std::int64_t Up = (Count + Step - 1) / Step * Step;
    // The next step above 2147483640 (at 10 ms) lies beyond the largest count.
    if (Up > MaxCount)
        throw ERangeError("Die aufgerundete Zeit liegt über 596:31:23,647.");
    return static_cast<std::int32_t>(Up);
}
