#pragma once
// Layout records of the rescaling windows: one record per control with the
// bounds it had when the window was created (pixels, relative to the
// control's parent). The room model has its own, unrelated TItem; these live
// in namespace Items so both names can stand.

#include <QString>

#include <memory>
#include <vector>

namespace Items {

// One recorded control. Plain data: the window reads the fields directly.
class TItem {
public:
    TItem(QString Name, int Width, int Height, int Top, int Left)
        : FName(std::move(Name)), FWidth(Width), FHeight(Height), FTop(Top), FLeft(Left)
    {
    }

    QString FName; // the control's component name (its objectName)
    int FWidth;
    int FHeight;
    int FTop;
    int FLeft;
};

// Owning list of records in insertion order.
class TItemManager {
public:
    TItemManager() = default;
    ~TItemManager() { Clear(); }
    TItemManager(const TItemManager&) = delete;
    TItemManager& operator=(const TItemManager&) = delete;

    // Appends and takes ownership; a null record is ignored.
    void Add(std::unique_ptr<TItem> Item);
    // Frees every record and empties the list.
    void Clear() { FList.clear(); }
    int Count() const { return static_cast<int>(FList.size()); }
    // The record whose name equals Name exactly (case-sensitive); when several
    // match, the one added last. None when no record matches. The pointer
    // stays valid until the list is cleared or destroyed.
    TItem* FindByName(const QString& Name) const;

private:
    std::vector<std::unique_ptr<TItem>> FList;
};

} // namespace Items
