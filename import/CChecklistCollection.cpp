#include "import/CChecklistCollection.h"

CChecklistCollection::CChecklistCollection(bool ownsItems) : ownsItems_(ownsItems) {}

CChecklistCollection::~CChecklistCollection() {
    if (!ownsItems_)
        return;
    for (CChecklistItem* item : items_)
        delete item;
}

void CChecklistCollection::ApplyTriggerRule(CChecklistItem& item) {
    if (!IsNilGuid(item.trigger) || (item.flags & kChecklistTriggeredFlag) == 0)
        return;
    item.flags &= ~kChecklistTriggeredFlag;
    item.dirty = true;
}

void CChecklistCollection::Add(CChecklistItem* item) {
    items_.push_back(item);
    byId_.SetAt(item->id, item);
    if (IsNilGuid(item->after))
        firstChildByParent_.SetAt(item->parent, item);
    else
        byAfter_.SetAt(item->after, item);
    ApplyTriggerRule(*item);
}

void CChecklistCollection::RemoveAt(std::size_t index) {
    CChecklistItem* item = items_[index];
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    Forget(byId_, item->id, item);
    Forget(byAfter_, item->after, item);
    Forget(firstChildByParent_, item->parent, item);
    if (ownsItems_)
        delete item;
}

CChecklistItem* CChecklistCollection::Find(const CMapGuidToPointer<CChecklistItem>& map, const GUID& key) {
    CChecklistItem* item = nullptr;
    return map.Lookup(key, item) ? item : nullptr;
}

void CChecklistCollection::Forget(CMapGuidToPointer<CChecklistItem>& map, const GUID& key,
                                  const CChecklistItem* item) {
    if (Find(map, key) == item)
        map.RemoveKey(key);
}

CChecklistItem* CChecklistCollection::FindById(const GUID& id) const {
    return Find(byId_, id);
}

CChecklistItem* CChecklistCollection::FindFollowing(const GUID& after) const {
    return Find(byAfter_, after);
}

CChecklistItem* CChecklistCollection::FindFirstChild(const GUID& parent) const {
    return Find(firstChildByParent_, parent);
}
