#include "model/Item.h"

#include <utility>

TItem::TItem(std::string Name) : FName(std::move(Name)) {}

void TItem::MoveBy(const TPoint3D& Delta) { FPosition = AddPoints(FPosition, Delta); }
