#include "model/Room.h"

#include <cmath>
#include <numbers>

TRoom::TRoom()
{
    SetDefaults();
    FListener = std::make_unique<TListener>("Oyente");
    FSpeakers = std::make_unique<TSpeakerManager>();
    FSpeakers->Add(std::make_unique<TSpeaker>("Altavoz izquierdo", 0));
    FSpeakers->Add(std::make_unique<TSpeaker>("Altavoz derecho", 1));
}

void TRoom::SetDefaults()
{
    FWidth = 4.53f;
    FDepth = 7.33f;
    FHeight = 2.8f;
    FTemperature = 24.0f;
    FReverbTime = 0.5f;
    FDirty = true;
}

namespace {

bool IsValidDimension(float V) { return V > TRoom::MinDimension && V <= TRoom::MaxDimension; }

} // namespace

void TRoom::SetWidth(float V)
{
    if (IsValidDimension(V)) {
        FWidth = V;
        FDirty = true;
    }
}

void TRoom::SetDepth(float V)
{
    if (IsValidDimension(V)) {
        FDepth = V;
        FDirty = true;
    }
}

void TRoom::SetHeight(float V)
{
    if (IsValidDimension(V)) {
        FHeight = V;
        FDirty = true;
    }
}

void TRoom::SetTemperature(float V)
{
    FTemperature = V;
    FDirty = true;
}

float TRoom::GetSpeedOfSound() const
{
    return static_cast<float>(331.0L + 0.6L * FTemperature);
}

float TRoom::GetVolume() const
{
    return static_cast<float>(static_cast<long double>(FWidth) * FDepth * FHeight);
}

float TRoom::GetSchroederFrequency()
{
    if (FDirty) {
        FSchroederFrequency = static_cast<float>(1849.0L * std::sqrt(static_cast<long double>(FReverbTime) / GetVolume()));
        FDirty = false;
    }
    return FSchroederFrequency;
}

float TRoom::GetModePressure(const TPoint3D& P, int NX, int NY, int NZ) const
{
    const auto Factor = [](int N, float Coordinate, float Length) {
        const float Degrees = static_cast<float>(static_cast<long double>(N) * Coordinate * 180.0L / Length);
        return std::cos(static_cast<long double>(Degrees) * std::numbers::pi_v<long double> / 180.0L);
    };
    float Product = 1.0f;
    if (NX > 0)
        Product = static_cast<float>(Product * Factor(NX, P.X, FWidth));
    if (NY > 0)
        Product = static_cast<float>(Product * Factor(NY, P.Y, FDepth));
    if (NZ > 0)
        Product = static_cast<float>(Product * Factor(NZ, P.Z, FHeight));
    return std::fabs(Product);
}

TRoomSurface TRoom::GetSurface(const TPoint3D& P) const
{
    const auto Near = [](float A, float B) { return std::fabs(static_cast<long double>(A) - B) < 0.01L; };
    if (Near(P.X, 0.0f)) return rsWallX0;
    if (Near(P.X, FWidth)) return rsWallXW;
    if (Near(P.Y, 0.0f)) return rsWallY0;
    if (Near(P.Y, FDepth)) return rsWallYD;
    if (Near(P.Z, 0.0f)) return rsFloor;
    if (Near(P.Z, FHeight)) return rsCeiling;
    return rsNone;
}

void TRoom::ItemMoved(const TItem& Item)
{
    const auto* Speaker = dynamic_cast<const TSpeaker*>(&Item);
    if (Speaker == nullptr)
        return;
    TSpeaker* Partner = FSpeakers->FindByChannel(Speaker->Channel() == 0 ? 1 : 0);
    if (Partner == nullptr || Partner == Speaker)
        return;
    const TPoint3D P = Speaker->GetPosition();
    Partner->SetPosition(Point3D(static_cast<float>(static_cast<long double>(FWidth) - P.X), P.Y, P.Z));
}

namespace {

void Clamp(TItem& Item, float W, float D, float H)
{
    TPoint3D P = Item.GetPosition();
    const auto Limit = [](float& V, float L) {
        if (!(V >= 0.0f))
            V = 0.0f;
        if (V > L)
            V = L;
    };
    Limit(P.X, W);
    Limit(P.Y, D);
    Limit(P.Z, H);
    Item.SetPosition(P);
}

} // namespace

void TRoom::ClampElements()
{
    Clamp(*FListener, FWidth, FDepth, FHeight);
    for (int I = 0; I < FSpeakers->Count(); ++I)
        Clamp(*FSpeakers->GetSpeaker(I), FWidth, FDepth, FHeight);
}
