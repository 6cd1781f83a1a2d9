#pragma once
// Tolerant reading of edit-box text, the two display formats, and the colour
// ramp of the pressure maps. Stateless; the decimal separator is the one of the
// C++ global locale at the time of each call.

#include <cstdint>
#include <string>

// The decimal separator of the global C++ locale, read now.
char DecimalSeparator();

// Keeps only digits, '-' and the decimal separator of S, then converts; any
// failure (empty, lone '-', misplaced '-', a separator, overflow) gives 0.
std::int32_t CleanStrToInt(const std::string& S);

// As CleanStrToInt for a real with at most one separator; the result is
// rounded to float, and a value beyond the float range gives 0.
float CleanStrToFloat(const std::string& S);

// "0.##": at most two decimals, trailing zeros and a bare separator dropped.
// Both formats round the exact stored value to the nearest hundredth, an
// exact half away from zero, and show no sign on a value that rounds to 0.
std::string FormatShort(float V);

// "0.00": exactly two decimals.
std::string FormatTwoDecimals(float V);

// Colour ramp black, blue, cyan, green, yellow, red over V in 0 .. 1 (values
// outside are clamped to the ends).
void ValueToRGB(float V, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B);
