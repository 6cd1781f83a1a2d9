#include "model/Utilities.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <locale>

char DecimalSeparator()
{
    return std::use_facet<std::numpunct<char>>(std::locale()).decimal_point();
}

namespace {

// The characters of S that survive the filter, with the separator turned into
// '.' so that the locale-independent parser can read it.
std::string Filter(const std::string& S, char Separator, bool& HasSeparator)
{
    std::string Out;
    Out.reserve(S.size());
    HasSeparator = false;
    for (const char Ch : S) {
        if ((Ch >= '0' && Ch <= '9') || Ch == '-') {
            Out.push_back(Ch);
        } else if (Ch == Separator) {
            Out.push_back('.');
            HasSeparator = true;
        }
    }
    return Out;
}

// Optional leading minus, digits, at most one '.', at least one digit.
bool IsPlainNumber(const std::string& T, bool AllowPoint)
{
    std::size_t I = (!T.empty() && T[0] == '-') ? 1 : 0;
    bool Digit = false;
    bool Point = false;
    for (; I < T.size(); ++I) {
        if (T[I] >= '0' && T[I] <= '9') {
            Digit = true;
        } else if (T[I] == '.' && AllowPoint && !Point) {
            Point = true;
        } else {
            return false;
        }
    }
    return Digit;
}

// V with exactly two decimals. The exact stored value is rounded to the
// nearest hundredth; an exact half (a float such as 0.125) goes away from
// zero, as the "0.00" pattern does everywhere.
std::string FixedText(float V)
{
    // V has 24 significant bits and 100 five, so this product is exact.
    const double Hundredths = static_cast<double>(V) * 100.0;
    std::string Text;
    if (std::isfinite(Hundredths) && Hundredths - std::floor(Hundredths) == 0.5) {
        // A half is only possible below 2^23, so the count fits easily.
        const double Away = Hundredths > 0.0 ? std::ceil(Hundredths) : std::floor(Hundredths);
        const long long Units = static_cast<long long>(std::fabs(Away));
        const long long Cents = Units % 100;
        Text = (Away < 0.0 ? "-" : "") + std::to_string(Units / 100) + '.' +
               static_cast<char>('0' + Cents / 10) + static_cast<char>('0' + Cents % 10);
    } else {
        // No tie: the correctly rounded text of the exact value.
        char Buf[64];
        const auto Res = std::to_chars(Buf, Buf + sizeof Buf, static_cast<double>(V), std::chars_format::fixed, 2);
        Text.assign(Buf, Res.ptr);
    }
    // A value that rounds to zero is shown without a sign.
    if (!Text.empty() && Text[0] == '-' && Text.find_first_not_of("-0.") == std::string::npos)
        Text.erase(0, 1);
    const std::size_t Point = Text.find('.');
    if (Point != std::string::npos)
        Text[Point] = DecimalSeparator();
    return Text;
}

} // namespace

std::int32_t CleanStrToInt(const std::string& S)
{
    bool HasSeparator = false;
    const std::string T = Filter(S, DecimalSeparator(), HasSeparator);
    if (HasSeparator || !IsPlainNumber(T, false))
        return 0;
    std::int32_t Value = 0;
    const auto Res = std::from_chars(T.data(), T.data() + T.size(), Value);
    if (Res.ec != std::errc() || Res.ptr != T.data() + T.size())
        return 0;
    return Value;
}

float CleanStrToFloat(const std::string& S)
{
    bool HasSeparator = false;
    const std::string T = Filter(S, DecimalSeparator(), HasSeparator);
    if (!IsPlainNumber(T, true))
        return 0.0f;
    long double Value = 0.0L;
    const auto Res = std::from_chars(T.data(), T.data() + T.size(), Value);
    if (Res.ec != std::errc() || Res.ptr != T.data() + T.size())
        return 0.0f;
    const float Result = static_cast<float>(Value);
    if (std::isinf(Result))
        return 0.0f;
    return Result;
}

std::string FormatShort(float V)
{
    std::string Text = FixedText(V);
    const char Sep = DecimalSeparator();
    const std::size_t Point = Text.find(Sep);
    if (Point != std::string::npos) {
        while (Text.back() == '0')
            Text.pop_back();
        if (Text.back() == Sep)
            Text.pop_back();
    }
    return Text;
}

std::string FormatTwoDecimals(float V) { return FixedText(V); }

void ValueToRGB(float V, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B)
{
    long double X = V;
    if (!(X >= 0.0L))
        X = 0.0L;
    if (X > 1.0L)
        X = 1.0L;
    // Each segment is 0.2 wide; a channel rises or falls by 255 across it.
    const auto Ramp = [](long double T) {
        return static_cast<std::uint8_t>(std::lrint(T * 255.0L * 5.0L));
    };
    if (X < 0.2L) {
        R = 0; G = 0; B = Ramp(X);
    } else if (X < 0.4L) {
        R = 0; G = Ramp(X - 0.2L); B = 255;
    } else if (X < 0.6L) {
        R = 0; G = 255; B = static_cast<std::uint8_t>(255 - Ramp(X - 0.4L));
    } else if (X < 0.8L) {
        R = Ramp(X - 0.6L); G = 255; B = 0;
    } else {
        R = 255; G = static_cast<std::uint8_t>(255 - Ramp(X - 0.8L)); B = 0;
    }
}
