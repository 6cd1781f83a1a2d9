#pragma once
// Plain geometric types shared by the whole program, and the colour value.
// Room coordinates are metres from one floor corner: X across the width,
// Y along the length (called depth), Z upwards.

#include <cstdint>
#include <string>

// The plane a view shows; the ordinal is also the plane code of PlaneDistance
// and of the element symbols.
enum TAxisProjection : int { apXY = 0, apXZ = 1, apYZ = 2 };

struct TPoint3D {
    float X;
    float Y;
    float Z;
};

struct TPoint2D {
    float X;
    float Y;
};

// Colour in the layout 0x00BBGGRR.
using TColor = std::uint32_t;

constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr std::uint8_t GetRValue(TColor c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GetGValue(TColor c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(TColor c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

TPoint3D Point3D(float X, float Y, float Z);
TPoint2D Point2D(float X, float Y);

// Component-wise sum, each sum rounded to float.
TPoint3D AddPoints(const TPoint3D& A, const TPoint3D& B);

// Distance of A and B in the plane with the given code (apXY, apXZ, apYZ);
// any other code gives 0.
float PlaneDistance(const TPoint3D& A, const TPoint3D& B, int Plane);

// "(" Y "   " X "   " Z ")" with two decimals each: length, width, height.
std::string Point3DToStr(const TPoint3D& P);
