#pragma once

#include "import/CMapGuidToPointer.h"
#include "import/Guid.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/// Bit of an item's flags that only an item with a trigger may carry.
inline constexpr std::int64_t kChecklistTriggeredFlag = 0x80000;

/// One item of the case checklists: a node of a tree of GUIDs (its parent, and the sibling it
/// follows), its texts, flag and residence masks, districts and an optional trigger condition.
class CChecklistItem {
public:
    /// A fresh GUID, nil after, parent and trigger, empty texts, flags 0x2000000000000000, resides
    /// 0x7FFFFFFFFFFFFFFF, neither dirty nor deleted.
    CChecklistItem() : id(NewGuid()) {}

    GUID id;
    GUID after;   ///< the sibling this item follows; nil for a first child
    GUID parent;  ///< nil at the top level
    GUID trigger; ///< nil when the item has none
    std::string text;
    std::string desc;
    std::int64_t flags = 0x2000000000000000LL;
    std::int64_t resides = 0x7FFFFFFFFFFFFFFFLL;
    std::string districts;
    bool dirty = false;   ///< to be written to CheckListTable
    bool deleted = false; ///< to be removed from CheckListTable
};

/// The checklist items in insertion order with three look-ups: by id, by the item they follow,
/// and the first child of a parent.
class CChecklistCollection {
public:
    /// With ownsItems the collection deletes its items.
    explicit CChecklistCollection(bool ownsItems = true);
    CChecklistCollection(const CChecklistCollection&) = delete;
    CChecklistCollection& operator=(const CChecklistCollection&) = delete;
    ~CChecklistCollection();

    /// Appends the item and enters it by id, and by its after GUID or, when that is nil (a first
    /// child), by its parent. An item without a trigger loses the triggered flag (0x80000) and is
    /// marked dirty when it had it.
    void Add(CChecklistItem* item);

    /// Clears the triggered flag (marking the item dirty) when the item has no trigger.
    static void ApplyTriggerRule(CChecklistItem& item);

    std::size_t GetSize() const { return items_.size(); }
    CChecklistItem* GetAt(std::size_t index) const { return items_[index]; }
    /// Takes the item out of the array and the look-ups, deleting it when the collection owns it;
    /// the next item moves to index.
    void RemoveAt(std::size_t index);

    /// nullptr when absent.
    CChecklistItem* FindById(const GUID& id) const;
    /// The item that follows the given one.
    CChecklistItem* FindFollowing(const GUID& after) const;
    /// The first child of a parent (the nil GUID for the top level).
    CChecklistItem* FindFirstChild(const GUID& parent) const;

private:
    static CChecklistItem* Find(const CMapGuidToPointer<CChecklistItem>& map, const GUID& key);
    static void Forget(CMapGuidToPointer<CChecklistItem>& map, const GUID& key, const CChecklistItem* item);

    std::vector<CChecklistItem*> items_;
    bool ownsItems_;
    CMapGuidToPointer<CChecklistItem> byId_{10};
    CMapGuidToPointer<CChecklistItem> byAfter_{10};
    CMapGuidToPointer<CChecklistItem> firstChildByParent_{10};
};
