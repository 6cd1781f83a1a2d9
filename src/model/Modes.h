#pragma once
// The standing waves of a rectangular room: every combination of half-wave
// counts along X, Y and Z whose frequency lies in a band, sorted by frequency.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "model/Room.h"

// Number of non-zero indices of a mode.
enum TModeKind : std::uint8_t { mkNone = 0, mkAxial = 1, mkTangential = 2, mkOblique = 3 };

// Set of mode kinds; member k is bit k (axial 2, tangential 4, oblique 8).
class TModeKinds {
public:
    constexpr TModeKinds() = default;
    constexpr TModeKinds(std::initializer_list<TModeKind> Kinds)
    {
        for (const TModeKind K : Kinds)
            Include(K);
    }
    constexpr void Include(TModeKind K) { FBits = static_cast<std::uint8_t>(FBits | (1u << K)); }
    constexpr void Exclude(TModeKind K) { FBits = static_cast<std::uint8_t>(FBits & ~(1u << K)); }
    constexpr bool Contains(TModeKind K) const { return (FBits >> K) & 1u; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint8_t Bits() const { return FBits; }
    friend constexpr bool operator==(TModeKinds, TModeKinds) = default;

private:
    std::uint8_t FBits = 0;
};

class TMode {
public:
    TMode(int NX, int NY, int NZ, float Frequency) : FNX(NX), FNY(NY), FNZ(NZ), FFrequency(Frequency) {}

    int NX() const { return FNX; }
    int NY() const { return FNY; }
    int NZ() const { return FNZ; }
    float GetFrequency() const { return FFrequency; }
    TModeKind GetKind() const;
    // "(NY,NX,NZ)": length, width, height.
    std::string ModeToStr() const;

private:
    int FNX;
    int FNY;
    int FNZ;
    float FFrequency;
};

class TModeManager {
public:
    // Compute refuses (gives an empty list) an enumeration larger than this:
    // it is only reached with an air temperature far below absolute zero,
    // where the speed of sound tends to nothing.
    static constexpr long long MaxCombinations = 4'000'000;
    // Compute refuses (gives an empty list) a result longer than this. Every
    // window lists, maps, plays or writes each mode it is given; the largest
    // room at room temperature (a 30 m cube at 24 degC: 77 361 modes) stays
    // below it, a big room far below freezing does not. A list cut at the
    // cap would pass for the whole band, so nothing is kept.
    static constexpr int MaxModes = 100'000;

    // Rebuilds the list from Room: the modes of the given kinds with
    // FMinFrequency - 0.1 < f < FMaxFrequency, ascending by frequency. A room
    // whose speed of sound is not positive has no modes; an enumeration or a
    // result beyond the bounds above gives an empty list and Refused().
    void Compute(const TRoom& Room, TModeKinds Kinds);
    // True when the last Compute gave up because of MaxCombinations or
    // MaxModes (its list is empty then), so a window can say why.
    bool Refused() const { return FRefused; }
    void Clear()
    {
        FList.clear();
        FRefused = false;
    }
    int Count() const { return static_cast<int>(FList.size()); }
    // None when Index is outside 0 .. Count - 1.
    TMode* GetMode(int Index) const;
    // False when Index is out of range; later modes move down one place.
    bool Delete(int Index);
    // 0 for the same object, -1 when A is lower, +1 otherwise.
    static int CompareModes(const TMode* A, const TMode* B);

    float MinFrequency() const { return FMinFrequency; }
    float MaxFrequency() const { return FMaxFrequency; }
    void SetMinFrequency(float V) { FMinFrequency = V; }
    void SetMaxFrequency(float V) { FMaxFrequency = V; }

    // The frequency of the mode (NX, NY, NZ) in Room, as Compute works it out.
    static float ModeFrequency(const TRoom& Room, int NX, int NY, int NZ);

private:
    std::vector<std::unique_ptr<TMode>> FList;
    float FMinFrequency = 10.0f;
    float FMaxFrequency = 300.0f;
    bool FRefused = false;
};
