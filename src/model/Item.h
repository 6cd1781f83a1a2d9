#pragma once
// A named element of the room (the listener or a loudspeaker) with its
// position in room metres. Positions are not checked: keeping elements inside
// the room is TRoom::ClampElements' job.

#include <string>

#include "model/Common.h"

class TItem {
public:
    explicit TItem(std::string Name);
    virtual ~TItem() = default;
    TItem(const TItem&) = delete;
    TItem& operator=(const TItem&) = delete;

    const std::string& Name() const { return FName; }
    TPoint3D GetPosition() const { return FPosition; }
    void SetPosition(const TPoint3D& P) { FPosition = P; }
    void MoveBy(const TPoint3D& Delta);

private:
    std::string FName;
    TPoint3D FPosition{0.0f, 0.0f, 0.0f};
};
