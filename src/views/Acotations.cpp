#include "views/Acotations.h"

#include <algorithm>

bool IsWallSurface(TRoomSurface Surface)
{
    return Surface == rsWallY0 || Surface == rsWallYD || Surface == rsWallX0 || Surface == rsWallXW;
}

int CompareCotes(const TCote& A, const TCote& B)
{
    if (&A == &B)
        return 0;
    if (A.Surface() != B.Surface())
        return A.Surface() < B.Surface() ? -1 : 1;
    switch (A.Surface()) {
    case rsWallY0:
    case rsWallYD: return A.Position().X < B.Position().X ? -1 : 1;
    case rsWallX0:
    case rsWallXW: return A.Position().Y < B.Position().Y ? -1 : 1;
    default: return 1;
    }
}

void TAcotationManager::Build()
{
    Clear();
    if (FRoom == nullptr)
        return;
    const TPoint3D L = FRoom->Listener().GetPosition();
    Add(std::make_unique<TCote>(L, FRoom->GetSurface(L)));
    const TSpeakerManager& Speakers = FRoom->Speakers();
    for (int I = 0; I < Speakers.Count(); ++I) {
        const TPoint3D P = Speakers.GetSpeaker(I)->GetPosition();
        Add(std::make_unique<TCote>(P, FRoom->GetSurface(P)));
    }
    ArrangeLevels();
}

void TAcotationManager::ArrangeLevels()
{
    // "Less than" by CompareCotes is a strict weak order (equal keys are
    // equivalent), which std::sort needs; the stable sort keeps such
    // annotations in the order they were built.
    std::stable_sort(FList.begin(), FList.end(),
                     [](const std::unique_ptr<TCote>& A, const std::unique_ptr<TCote>& B) {
                         return CompareCotes(*A, *B) < 0;
                     });
    if (FRoom == nullptr)
        return;
    const long double HalfW = static_cast<long double>(FRoom->GetWidth()) / 2.0L;
    const long double HalfD = static_cast<long double>(FRoom->GetDepth()) / 2.0L;
    // One counter per wall (rsWallY0 .. rsWallXW) and side.
    int Near[4] = {1, 1, 1, 1};
    int Far[4] = {1, 1, 1, 1};
    const auto IsNear = [&](const TCote& C) {
        if (C.Surface() == rsWallY0 || C.Surface() == rsWallYD)
            return HalfW > C.Position().X;
        return HalfD > C.Position().Y;
    };
    for (const auto& C : FList) {
        if (!IsWallSurface(C->Surface()) || C->Level() != -1 || !IsNear(*C))
            continue;
        C->SetLevel(Near[C->Surface() - rsWallY0]++);
    }
    for (auto It = FList.rbegin(); It != FList.rend(); ++It) {
        TCote& C = **It;
        if (!IsWallSurface(C.Surface()) || C.Level() != -1 || IsNear(C))
            continue;
        C.SetLevel(Far[C.Surface() - rsWallY0]++);
    }
}

TCote* TAcotationManager::GetCote(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FList[static_cast<std::size_t>(Index)].get();
}

TPoint3D TAcotationManager::ReferencePoint(const TCote& Cote) const
{
    if (FRoom == nullptr || !IsWallSurface(Cote.Surface()))
        return Point3D(0.0f, 0.0f, 0.0f);
    const float W = FRoom->GetWidth();
    const float D = FRoom->GetDepth();
    const TPoint3D& P = Cote.Position();
    return Point3D(static_cast<long double>(P.X) > static_cast<long double>(W) / 2.0L ? W : 0.0f,
                   static_cast<long double>(P.Y) > static_cast<long double>(D) / 2.0L ? D : 0.0f, 0.0f);
}
