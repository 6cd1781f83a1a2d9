#include "NumberProperties.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <string>

#include "model/Utilities.h"
#include "support/CommaLocale.h"

namespace {

std::string Printable(const std::string& S)
{
    std::string Out = "\"";
    for (const unsigned char Ch : S) {
        if (Ch >= 0x20 && Ch < 0x7f && Ch != '"' && Ch != '\\') {
            Out.push_back(static_cast<char>(Ch));
        } else {
            char Buf[8];
            std::snprintf(Buf, sizeof Buf, "\\x%02x", Ch);
            Out += Buf;
        }
    }
    return Out + "\"";
}

class TChecker {
public:
    explicit TChecker(const std::string& Input) : FInput(Input) {}

    void Expect(bool Holds, const char* What, const std::string& Detail) const
    {
        if (Holds)
            return;
        std::fprintf(stderr, "number property broken: %s\n  input: %s\n  %s\n", What, Printable(FInput).c_str(),
                     Detail.c_str());
        std::abort();
    }

private:
    const std::string& FInput;
};

std::string Show(float V)
{
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.9g", static_cast<double>(V));
    return Buf;
}

// The text with every full stop and comma exchanged: what a comma-locale user
// types for what a full-stop user typed.
std::string SwapSeparators(std::string S)
{
    for (char& Ch : S) {
        if (Ch == '.')
            Ch = ',';
        else if (Ch == ',')
            Ch = '.';
    }
    return S;
}

struct TReading {
    float Float;
    std::int32_t Int;
};

// Reads S in the current locale and checks what holds for any text.
TReading Read(const TChecker& Check, const std::string& S)
{
    const TReading R{CleanStrToFloat(S), CleanStrToInt(S)};
    Check.Expect(std::isfinite(R.Float), "CleanStrToFloat gives a finite value", Show(R.Float));
    if (S.find_first_of("0123456789") == std::string::npos)
        Check.Expect(R.Float == 0.0f && R.Int == 0, "a text without digits reads as 0",
                     Show(R.Float) + " / " + std::to_string(R.Int));
    if (S.find('-') == std::string::npos)
        Check.Expect(R.Float >= 0.0f && R.Int >= 0, "a text without '-' reads as no negative value",
                     Show(R.Float) + " / " + std::to_string(R.Int));
    // Whatever reads as a whole number reads as the same real.
    if (R.Int != 0)
        Check.Expect(R.Float == static_cast<float>(R.Int), "CleanStrToInt agrees with CleanStrToFloat",
                     Show(R.Float) + " / " + std::to_string(R.Int));
    return R;
}

// Checks the two formats of a finite V in the current locale and returns
// FormatShort(V).
std::string CheckFormats(const TChecker& Check, float V)
{
    const char Sep = DecimalSeparator();
    const std::string Two = FormatTwoDecimals(V);
    const std::string Short = FormatShort(V);
    const std::string Context = Show(V) + " gives \"" + Two + "\" and \"" + Short + "\"";

    // "0.00": an optional minus, digits, the separator, two digits.
    const std::size_t First = Two[0] == '-' ? 1 : 0;
    bool Shape = Two.size() >= First + 4 && Two[Two.size() - 3] == Sep;
    for (std::size_t I = First; Shape && I < Two.size(); ++I)
        Shape = I == Two.size() - 3 || (Two[I] >= '0' && Two[I] <= '9');
    Check.Expect(Shape, "FormatTwoDecimals has the shape 0.00", Context);
    Check.Expect(First == 0 || Two.find_first_not_of(std::string("-0") + Sep) != std::string::npos,
                 "a value that rounds to zero shows no minus", Context);

    // "0.##" is "0.00" without trailing zeros and without a bare separator.
    std::string Trimmed = Two;
    while (Trimmed.back() == '0' && Trimmed.find(Sep) != std::string::npos)
        Trimmed.pop_back();
    if (Trimmed.back() == Sep)
        Trimmed.pop_back();
    Check.Expect(Short == Trimmed, "FormatShort is FormatTwoDecimals trimmed", Context);

    // Below 2^23 a float can have a fraction: the shown hundredths are the
    // nearest to the exact value, a half going away from zero.
    const double Exact = static_cast<double>(V) * 100.0; // exact
    if (std::fabs(V) < 8388608.0f) {
        std::string Count = Two;
        Count.erase(Count.size() - 3, 1);
        const double Shown = static_cast<double>(std::stoll(Count));
        const double Miss = std::fabs(Shown - Exact);
        Check.Expect(Miss < 0.5 || (Miss == 0.5 && std::fabs(Shown) > std::fabs(Exact)),
                     "the shown hundredths are the nearest, a half away from zero", Context);
    }

    // Reading the text back lands within half a hundredth (plus the float
    // step of the value read), and formats to the same text again.
    const float Back = CleanStrToFloat(Short);
    const double Slack = 0.005 + std::fabs(static_cast<double>(V)) * 0x1p-23 + 1e-12;
    Check.Expect(std::fabs(static_cast<double>(Back) - static_cast<double>(V)) <= Slack,
                 "FormatShort read back lands within half a hundredth", Context + ", read back " + Show(Back));
    if (V == std::trunc(V))
        Check.Expect(Back == V, "a whole number reads back exactly", Context + ", read back " + Show(Back));
    Check.Expect(FormatShort(Back) == Short, "formatting the value read back gives the same text",
                 Context + ", read back " + Show(Back));
    return Short;
}

} // namespace

void CheckNumberProperties(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    const TChecker Check(Text);

    // The first four bytes are also taken as the bits of a float, to reach
    // values no typed text gives.
    float Bits = 0.0f;
    if (Size >= sizeof Bits)
        std::memcpy(&Bits, Data, sizeof Bits);

    const std::locale Old = std::locale::global(std::locale::classic());
    const TReading Stop = Read(Check, Text);
    const std::string StopShort = CheckFormats(Check, Stop.Float);
    std::string BitsShort;
    if (std::isfinite(Bits))
        BitsShort = CheckFormats(Check, Bits);
    else
        Check.Expect(!FormatShort(Bits).empty() && !FormatTwoDecimals(Bits).empty(), "a non-finite value shows something",
                     Show(Bits));
    std::locale::global(Old);

    {
        const TCommaLocale Comma;
        // The comma locale with the separators exchanged reads the same value
        // and shows the same text with a comma.
        const TReading Swapped = Read(Check, SwapSeparators(Text));
        Check.Expect(Swapped.Float == Stop.Float && Swapped.Int == Stop.Int,
                     "the comma locale reads the exchanged text alike",
                     Show(Stop.Float) + " / " + Show(Swapped.Float) + ", " + std::to_string(Stop.Int) + " / " +
                         std::to_string(Swapped.Int));
        Check.Expect(CheckFormats(Check, Stop.Float) == SwapSeparators(StopShort),
                     "the comma locale shows the same digits", StopShort);
        if (std::isfinite(Bits))
            Check.Expect(CheckFormats(Check, Bits) == SwapSeparators(BitsShort),
                         "the comma locale shows the same digits", BitsShort);
        Read(Check, Text);
    }
}
