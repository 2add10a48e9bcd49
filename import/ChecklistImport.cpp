#include "import/ChecklistImport.h"

#include "app/UserInterface.h"
#include "db/CDBException.h"
#include "import/ImportFields.h"
#include "platform/Format.h"
#include "tables/CChecklistRecord.h"
#include "tables/CChecklistTriggerRecord.h"
#include "tables/DatabaseHandles.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 10> kColumns = {
    "ID", "after", "parent", "text", "desc", "flags", "resides", "districts", "trigger", "triggername"};

enum Field { ID, After, Parent, Text, Desc, Flags, Resides, Districts, Trigger, TriggerName };

// The statements are templates of the Access dialect: translated once, the values bound.
constexpr char kInsertItem[] =
    "INSERT INTO CheckListTable ([ID], beforeafter, subsidiary, [text], [desc], flagslo, flagshi, resideslo, "
    "resideshi, districts, trigger) VALUES('%s', '%s', '%s', '%s', '%s', %d, %d, %d, %d, '%s', '%s')";
constexpr char kFindItem[] = "SELECT * FROM CheckListTable WHERE ID='%s'";
constexpr char kDeleteItem[] = "DELETE FROM CheckListTable WHERE ID='%s'";
constexpr char kFindTrigger[] = "SELECT * FROM CheckListTriggerTable WHERE trigger = '%s'";
constexpr char kInsertTrigger[] =
    "INSERT INTO CheckListTriggerTable (trigger, description) VALUES('%s', '%s')";

// An empty or malformed GUID text counts as the nil GUID.
GUID GuidOrNil(const std::string& text) {
    GUID guid;
    return GuidFromString(text, guid) ? guid : kNilGuid;
}

std::int32_t LowHalf(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::int32_t HighHalf(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) >> 32));
}

std::string TriggerText(const GUID& trigger) {
    return IsNilGuid(trigger) ? std::string() : GuidToString(trigger);
}

void CopyToRecord(const CChecklistItem& item, CChecklistRecord& record) {
    record.beforeafter = GuidToString(item.after);
    record.subsidiary = GuidToString(item.parent);
    record.trigger = TriggerText(item.trigger);
    record.text = item.text;
    record.desc = item.desc;
    record.flagslo = LowHalf(item.flags);
    record.flagshi = HighHalf(item.flags);
    record.resideslo = LowHalf(item.resides);
    record.resideshi = HighHalf(item.resides);
    record.districts = item.districts;
}

void InsertItem(const CChecklistItem& item, const std::string& id) {
    // The districts are a text like every other: a quote in them must not end the value.
    theMainDb.ExecuteSQL(kInsertItem,
                         {id, GuidToString(item.after), GuidToString(item.parent), item.text, item.desc,
                          LowHalf(item.flags), HighHalf(item.flags), LowHalf(item.resides),
                          HighHalf(item.resides), item.districts, TriggerText(item.trigger)});
}

// Inserts the item, or overwrites the row that has its ID.
void WriteItem(const CChecklistItem& item, const std::string& id) {
    CChecklistRecord record(&theMainDb);
    record.Open(CRecordset::dynaset, kFindItem, {id});
    if (record.IsEOF()) {
        InsertItem(item, id);
    } else {
        record.Edit();
        CopyToRecord(item, record);
        record.Update();
    }
    record.Close();
}

} // namespace

bool ImportChecklistRecords(ImportRecords& records, const std::optional<std::string>& path) {
    CImportProxy proxy;
    const bool result = path ? proxy.QueryFile(*path, kColumns, records) : proxy.Query(kColumns, records);
    for (ImportRecord& record : records)
        PadRecord(record, kColumns.size());
    return result;
}

void MergeChecklistRecords(const ImportRecords& records, CChecklistCollection& collection) {
    for (ImportRecord record : records) {
        PadRecord(record, kColumns.size());
        GUID id;
        const bool validId = GuidFromString(record[ID], id);
        CChecklistItem* item = collection.FindById(validId ? id : kNilGuid);
        std::unique_ptr<CChecklistItem> fresh;
        if (item == nullptr) {
            fresh = std::make_unique<CChecklistItem>();
            item = fresh.get();
        }
        // A new item keeps its own fresh GUID when the record's ID is not one.
        if (validId)
            item->id = id;
        item->after = GuidOrNil(record[After]);
        item->parent = GuidOrNil(record[Parent]);
        item->text = record[Text];
        item->desc = record[Desc];
        item->flags = LeadingInteger64(record[Flags]);
        item->resides = LeadingInteger64(record[Resides]);
        item->districts = record[Districts];
        item->trigger = kNilGuid;
        if (!record[Trigger].empty()) {
            item->trigger = GuidOrNil(record[Trigger]);
            // A trigger text that is no GUID names no trigger, so there is none to add.
            if (!IsNilGuid(item->trigger) && LookupTriggerDescription(item->trigger).empty() &&
                !record[TriggerName].empty())
                InsertTrigger(item->trigger, record[TriggerName]);
        }
        if (fresh) {
            item->dirty = true;
            collection.Add(fresh.release());
        } else {
            // A later record of the same ID obeys the same rule as the first.
            CChecklistCollection::ApplyTriggerRule(*item);
        }
    }
}

void StoreChecklists(CChecklistCollection& collection) {
    for (std::size_t i = 0; i < collection.GetSize();) {
        CChecklistItem& item = *collection.GetAt(i);
        if (!item.dirty && !item.deleted) {
            ++i;
            continue;
        }
        try {
            CTransaction transaction(theMainDb);
            const std::string id = GuidToString(item.id);
            if (item.deleted) {
                theMainDb.ExecuteSQL(kDeleteItem, {id});
                transaction.Commit();
                collection.RemoveAt(i);
                continue;
            }
            WriteItem(item, id);
            transaction.Commit();
            item.dirty = false;
            ++i;
        } catch (const CException& e) {
            AppMessageBox(e.GetErrorMessage(), win::MB_ICONINFORMATION);
            return;
        }
    }
}

std::string LookupTriggerDescription(const GUID& trigger) {
    if (IsNilGuid(trigger))
        return {};
    CChecklistTriggerRecord record(&theMainDb);
    record.Open(CRecordset::snapshot, kFindTrigger, {GuidToString(trigger)}, CRecordset::readOnly);
    return record.IsEOF() ? std::string() : record.description;
}

void InsertTrigger(const GUID& trigger, const std::string& name) {
    try {
        CTransaction transaction(theMainDb);
        theMainDb.ExecuteSQL(kInsertTrigger, {GuidToString(trigger), name});
        transaction.Commit();
    } catch (const CDBException& e) {
        AppMessageBox(e.GetErrorMessage(), win::MB_ICONINFORMATION);
    }
}
