#include "model/Modes.h"

#include <algorithm>
#include <cmath>

TModeKind TMode::GetKind() const
{
    return static_cast<TModeKind>((FNX > 0) + (FNY > 0) + (FNZ > 0));
}

std::string TMode::ModeToStr() const
{
    return "(" + std::to_string(FNY) + "," + std::to_string(FNX) + "," + std::to_string(FNZ) + ")";
}

namespace {

// The room's figures as the frequency formula holds them: c / 2 and the
// squared dimensions rounded to float.
struct TModeTerms {
    float HalfC;
    float W2;
    float D2;
    float H2;

    explicit TModeTerms(const TRoom& Room)
        : HalfC(static_cast<float>(static_cast<long double>(Room.GetSpeedOfSound()) / 2.0L)),
          W2(static_cast<float>(static_cast<long double>(Room.GetWidth()) * Room.GetWidth())),
          D2(static_cast<float>(static_cast<long double>(Room.GetDepth()) * Room.GetDepth())),
          H2(static_cast<float>(static_cast<long double>(Room.GetHeight()) * Room.GetHeight()))
    {
    }

    float Frequency(int NX, int NY, int NZ) const
    {
        const long double Sum = static_cast<long double>(NX * NX) / W2 + static_cast<long double>(NY * NY) / D2 +
                                static_cast<long double>(NZ * NZ) / H2;
        return static_cast<float>(HalfC * std::sqrt(Sum));
    }
};

} // namespace

float TModeManager::ModeFrequency(const TRoom& Room, int NX, int NY, int NZ)
{
    return TModeTerms(Room).Frequency(NX, NY, NZ);
}

void TModeManager::Compute(const TRoom& Room, TModeKinds Kinds)
{
    Clear();
    const long double C = Room.GetSpeedOfSound();
    if (!(C > 0.0L))
        return;
    const TModeTerms Terms(Room);

    // Highest index along one axis whose axial mode can lie below the limit.
    const auto Bound = [&](float Length) {
        return std::nearbyint(static_cast<long double>(Length) * 2.0L * FMaxFrequency / C);
    };
    const long double BX = Bound(Room.GetWidth());
    const long double BY = Bound(Room.GetDepth());
    const long double BZ = Bound(Room.GetHeight());
    if (!(BX >= 0.0L && BY >= 0.0L && BZ >= 0.0L))
        return;
    if ((BX + 1.0L) * (BY + 1.0L) * (BZ + 1.0L) > static_cast<long double>(MaxCombinations)) {
        FRefused = true;
        return;
    }
    const int NXMax = static_cast<int>(BX);
    const int NYMax = static_cast<int>(BY);
    const int NZMax = static_cast<int>(BZ);

    const long double Lower = static_cast<long double>(FMinFrequency) - 0.1L;
    for (int NX = 0; NX <= NXMax; ++NX) {
        for (int NY = 0; NY <= NYMax; ++NY) {
            for (int NZ = 0; NZ <= NZMax; ++NZ) {
                const float F = Terms.Frequency(NX, NY, NZ);
                if (!(Lower < F && F < FMaxFrequency))
                    continue;
                auto Mode = std::make_unique<TMode>(NX, NY, NZ, F);
                if (!Kinds.Contains(Mode->GetKind()))
                    continue;
                // Stop at once rather than enumerate the rest of a list
                // that is given up anyway.
                if (FList.size() == static_cast<std::size_t>(MaxModes)) {
                    Clear();
                    FRefused = true;
                    return;
                }
                FList.push_back(std::move(Mode));
            }
        }
    }
    std::sort(FList.begin(), FList.end(),
              [](const auto& A, const auto& B) { return CompareModes(A.get(), B.get()) < 0; });
}

TMode* TModeManager::GetMode(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FList[static_cast<std::size_t>(Index)].get();
}

bool TModeManager::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return false;
    FList.erase(FList.begin() + Index);
    return true;
}

int TModeManager::CompareModes(const TMode* A, const TMode* B)
{
    if (A == B)
        return 0;
    return A->GetFrequency() < B->GetFrequency() ? -1 : 1;
}
