#include "model/Common.h"

#include <cmath>

#include "model/Utilities.h"

TPoint3D Point3D(float X, float Y, float Z) { return TPoint3D{X, Y, Z}; }

TPoint2D Point2D(float X, float Y) { return TPoint2D{X, Y}; }

TPoint3D AddPoints(const TPoint3D& A, const TPoint3D& B)
{
    return TPoint3D{static_cast<float>(static_cast<long double>(A.X) + B.X),
                    static_cast<float>(static_cast<long double>(A.Y) + B.Y),
                    static_cast<float>(static_cast<long double>(A.Z) + B.Z)};
}

float PlaneDistance(const TPoint3D& A, const TPoint3D& B, int Plane)
{
    const long double dX = static_cast<long double>(A.X) - B.X;
    const long double dY = static_cast<long double>(A.Y) - B.Y;
    const long double dZ = static_cast<long double>(A.Z) - B.Z;
    switch (Plane) {
    case apXY: return static_cast<float>(std::sqrt(dY * dY + dX * dX));
    case apXZ: return static_cast<float>(std::sqrt(dZ * dZ + dX * dX));
    case apYZ: return static_cast<float>(std::sqrt(dY * dY + dZ * dZ));
    default: return 0.0f;
    }
}

std::string Point3DToStr(const TPoint3D& P)
{
    return "(" + FormatTwoDecimals(P.Y) + "   " + FormatTwoDecimals(P.X) + "   " + FormatTwoDecimals(P.Z) + ")";
}
