#include "views/Items.h"

namespace Items {

void TItemManager::Add(std::unique_ptr<TItem> Item)
{
    if (Item)
        FList.push_back(std::move(Item));
}

TItem* TItemManager::FindByName(const QString& Name) const
{
    // The whole list is scanned so that a later record of the same name wins.
    TItem* Found = nullptr;
    for (const auto& Item : FList)
        if (Item->FName == Name)
            Found = Item.get();
    return Found;
}

} // namespace Items
