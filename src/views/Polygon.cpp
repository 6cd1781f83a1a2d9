#include "views/Polygon.h"

#include <cmath>
#include <numbers>
#include <utility>

TPolygon::TPolygon(std::vector<TPoint2D> Points) : FPoints(std::move(Points)) {}

TPoint2D TPolygon::RotatePoint(const TPoint2D& P, float Angle)
{
    const long double T = static_cast<long double>(Angle) * std::numbers::pi_v<long double> / 180.0L;
    const long double C = std::cos(T);
    const long double S = std::sin(T);
    return TPoint2D{static_cast<float>(C * P.X - S * P.Y), static_cast<float>(S * P.X + C * P.Y)};
}

std::vector<TPixel> TPolygon::Outline(int X, int Y, float Scale, float Angle) const
{
    std::vector<TPixel> Pixels;
    if (FPoints.empty())
        return Pixels;
    Pixels.reserve(FPoints.size() + 1);
    for (const TPoint2D& Vertex : FPoints) {
        const TPoint2D R = RotatePoint(Vertex, Angle);
        Pixels.push_back(TPixel{static_cast<int>(std::lrint(static_cast<long double>(Scale) * R.X)) + X,
                                static_cast<int>(std::lrint(static_cast<long double>(Scale) * R.Y)) + Y});
    }
    Pixels.push_back(Pixels.front());
    return Pixels;
}

void TPolygon::Draw(TCanvas& Canvas, int X, int Y, float Scale, float Angle) const
{
    if (FPoints.empty())
        return;
    Canvas.Polygon(Outline(X, Y, Scale, Angle));
}
