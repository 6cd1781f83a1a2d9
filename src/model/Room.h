#pragma once
// The one room of the program's run: dimensions, air temperature, the listener
// and the two loudspeakers. Every window receives the same object and moves
// its elements in place.

#include <cstdint>
#include <memory>

#include "model/Common.h"
#include "model/Listener.h"
#include "model/Speaker.h"

enum TRoomSurface : std::uint8_t {
    rsFloor = 0,
    rsCeiling = 1,
    rsWallY0 = 2,
    rsWallYD = 3,
    rsWallX0 = 4,
    rsWallXW = 5,
    rsNone = 6
};

class TRoom {
public:
    // A dimension must exceed MinDimension (metres); a dimension above
    // MaxDimension is refused too: no listening room is that large, and the
    // mode list of such a hall would run to hundreds of thousands of modes.
    static constexpr float MinDimension = 0.25f;
    static constexpr float MaxDimension = 30.0f;

    // Default dimensions, a listener "Oyente" at (0, 0, 1.1), and the
    // loudspeakers "Altavoz izquierdo" (channel 0) and "Altavoz derecho"
    // (channel 1) at (0, 0, 0.65).
    TRoom();
    TRoom(const TRoom&) = delete;
    TRoom& operator=(const TRoom&) = delete;

    // 4.53 x 7.33 x 2.8 m, 24 degC, reverberation 0.5 s; elements untouched.
    void SetDefaults();

    // Values not above MinDimension, or above MaxDimension, are ignored.
    void SetWidth(float V);
    void SetDepth(float V);
    void SetHeight(float V);
    // Any value is stored.
    void SetTemperature(float V);

    float GetWidth() const { return FWidth; }
    float GetDepth() const { return FDepth; }
    float GetHeight() const { return FHeight; }
    float GetTemperature() const { return FTemperature; }
    float GetReverbTime() const { return FReverbTime; }
    // 331 + 0.6 * temperature, m/s.
    float GetSpeedOfSound() const;
    float GetVolume() const;
    // 1849 * sqrt(reverberation time / volume), cached until a setter runs.
    float GetSchroederFrequency();
    // |cos(NX pi x / W) cos(NY pi y / D) cos(NZ pi z / H)|, in 0 .. 1.
    float GetModePressure(const TPoint3D& P, int NX, int NY, int NZ) const;
    // The surface P lies on (within 0.01 m), X walls before Y walls before
    // floor and ceiling.
    TRoomSurface GetSurface(const TPoint3D& P) const;

    // After Item was moved: a loudspeaker's partner becomes its mirror image
    // across the plane X = width / 2.
    void ItemMoved(const TItem& Item);
    // Puts the listener and every loudspeaker inside the room box.
    void ClampElements();

    TListener& Listener() { return *FListener; }
    const TListener& Listener() const { return *FListener; }
    TSpeakerManager& Speakers() { return *FSpeakers; }
    const TSpeakerManager& Speakers() const { return *FSpeakers; }

    // True until the Schroeder frequency has been recomputed after a change.
    bool IsDirty() const { return FDirty; }

private:
    bool FDirty = true;
    float FWidth = 0.0f;
    float FDepth = 0.0f;
    float FHeight = 0.0f;
    float FTemperature = 0.0f;
    float FReverbTime = 0.0f;
    std::unique_ptr<TListener> FListener;
    std::unique_ptr<TSpeakerManager> FSpeakers;
    float FSchroederFrequency = 0.0f;
};
