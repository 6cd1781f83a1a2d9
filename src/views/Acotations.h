#pragma once
// Dimension annotations of a room view: one TCote per room element records
// where it stood and on which surface; TAcotationManager builds them from the
// room, orders them and stacks the wall dimension lines in levels so that
// lines along the same wall do not overlap. The view draws them (see
// TVisualRoom::DrawAcotations). Plain C++, no Qt.

#include <memory>
#include <vector>

#include "model/Common.h"
#include "model/Room.h"

class TCote {
public:
    // Level -1: not assigned.
    TCote(const TPoint3D& Position, TRoomSurface Surface) : FPosition(Position), FSurface(Surface) {}

    const TPoint3D& Position() const { return FPosition; }
    TRoomSurface Surface() const { return FSurface; }
    // Stacking level of a wall annotation: 1 for the line nearest the wall,
    // -1 when not assigned (always for floor, ceiling and rsNone).
    int Level() const { return FLevel; }
    void SetLevel(int Level) { FLevel = Level; }

private:
    TPoint3D FPosition;
    TRoomSurface FSurface;
    int FLevel = -1;
};

// True for rsWallY0, rsWallYD, rsWallX0 and rsWallXW.
bool IsWallSurface(TRoomSurface Surface);

// Order of two annotations, as -1 (A first), 0 (the same annotation) or 1.
// Lower surface codes come first; on the walls Y = 0 and Y = D the smaller X
// comes first, on the walls X = 0 and X = W the smaller Y. Two different
// annotations with equal keys (or on floor, ceiling, rsNone) answer 1 in both
// directions: they have no order among themselves.
int CompareCotes(const TCote& A, const TCote& B);

class TAcotationManager {
public:
    // The room is not owned; it must outlive the manager or be replaced with
    // SetRoom first. Without a room Build leaves the list empty.
    void SetRoom(TRoom* Room) { FRoom = Room; }
    TRoom* Room() const { return FRoom; }

    void Clear() { FList.clear(); }
    // Clear, then one annotation for the listener and one for each
    // loudspeaker in list order, each with the room's surface of its
    // position; then ArrangeLevels.
    void Build();
    // Sorts with CompareCotes (annotations without an order among themselves
    // keep their relative order) and numbers the wall annotations: along each
    // wall 1, 2, 3, ... from each end towards the middle. The near end is
    // X = 0 (Y walls, when W / 2 > X) or Y = 0 (X walls, when D / 2 > Y).
    // Only annotations still at level -1 are numbered.
    void ArrangeLevels();

    int Count() const { return static_cast<int>(FList.size()); }
    // None outside 0 .. Count - 1.
    TCote* GetCote(int Index) const;
    // Appends an annotation (Build does this; tests arrange their own sets).
    void Add(std::unique_ptr<TCote> Cote) { FList.push_back(std::move(Cote)); }

    // The room corner a wall annotation is measured from: X = W if X > W / 2
    // else 0, Y = D if Y > D / 2 else 0, Z = 0. (0, 0, 0) for any other
    // surface or without a room.
    TPoint3D ReferencePoint(const TCote& Cote) const;

private:
    TRoom* FRoom = nullptr;
    std::vector<std::unique_ptr<TCote>> FList;
};
