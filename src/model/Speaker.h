#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/Canvas.h"
#include "model/Item.h"

// A loudspeaker: channel 0 is the left one (drawn white), channel 1 the right
// one (drawn red). Created at (0, 0, 0.65) with a 0.1 m driver.
class TSpeaker : public TItem {
public:
    TSpeaker(std::string Name, std::uint8_t Channel);

    std::uint8_t Channel() const { return FChannel; }
    float Radius() const { return FRadius; }
    TColor Color() const { return FColor; }

    // The driver seen from the side in apXY and apYZ (an outline), face on in
    // apXZ (two filled circles); Scale in pixels per metre. Any other plane
    // draws nothing.
    void Draw(TCanvas& Canvas, TPixel Centre, int Plane, float Scale) const;

private:
    std::uint8_t FChannel;
    float FRadius = 0.1f;
    TColor FColor;
};

// Owning list of loudspeakers in insertion order.
class TSpeakerManager {
public:
    // Appends and takes ownership; returns the new index.
    int Add(std::unique_ptr<TSpeaker> Speaker);
    void Clear() { FList.clear(); }
    int Count() const { return static_cast<int>(FList.size()); }
    // None when Index is outside 0 .. Count - 1.
    TSpeaker* GetSpeaker(int Index) const;
    // The last speaker of that channel, or none.
    TSpeaker* FindByChannel(int Channel) const;

private:
    std::vector<std::unique_ptr<TSpeaker>> FList;
};
