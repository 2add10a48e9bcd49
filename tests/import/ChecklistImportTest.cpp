// GUIDs, the GUID map, the checklist collection, and checklist files imported through the real
// proxy into a real main database.
#include "import/ChecklistImport.h"

#include "tables/DatabaseHandles.h"
#include "tests/import/ImportTestSupport.h"

#include <gtest/gtest.h>

using tltest::Section;
using Lines = std::vector<std::string>;

namespace {

const char kA[] = "0f8fad5b-d9cb-469f-a165-70867728950e";
const char kB[] = "7c9e6679-7425-40de-944b-e07fc1f90ae7";
const char kC[] = "9b2f1e5a-3c4d-4e6f-8a7b-1c2d3e4f5a6b";
const char kTrigger[] = "c56a4180-65aa-42ec-a945-5fd21dec0538";
const char kNil[] = "00000000-0000-0000-0000-000000000000";

GUID Guid(const char* text) {
    GUID guid;
    EXPECT_TRUE(GuidFromString(text, guid)) << text;
    return guid;
}

class ChecklistImport : public tltest::ImportTest {
protected:
    ChecklistImport() { OpenDatabases(); }

    // Imports a checklist file: request, merge, store, as the orchestration does.
    void Import(const std::string& text) {
        ImportRecords records;
        ASSERT_TRUE(ImportChecklistRecords(records, WriteDataFile("checklist.ini", text)));
        for (const ImportRecord& record : records)
            EXPECT_EQ(record.size(), 10u);
        MergeChecklistRecords(records, collection);
        StoreChecklists(collection);
    }
    static Lines Items() {
        return MainRows(
            "SELECT ID, beforeafter, subsidiary, text, desc, flagslo, flagshi, resideslo, resideshi, "
            "districts, trigger FROM CheckListTable ORDER BY text");
    }
    static Lines Triggers() { return MainRows("SELECT trigger, description FROM CheckListTriggerTable"); }

    CChecklistCollection collection{true};
};

} // namespace

TEST(Guid, TextFormsAsWindowsWritesAndReadsThem) {
    GUID guid;
    ASSERT_TRUE(GuidFromString("0F8FAD5B-D9CB-469F-A165-70867728950E", guid));
    EXPECT_EQ(guid.Data1, 0x0f8fad5bu);
    EXPECT_EQ(guid.Data2, 0xd9cbu);
    EXPECT_EQ(guid.Data4[0], 0xa1u);
    EXPECT_EQ(GuidToString(guid), kA);
    EXPECT_EQ(GuidToString(kNilGuid), kNil);
    const GUID before = guid;
    for (const char* bad :
         {"", "{0f8fad5b-d9cb-469f-a165-70867728950e}", "0f8fad5b-d9cb-469f-a165-70867728950",
          "0f8fad5bd-9cb-469f-a165-70867728950e", "0f8fad5b-d9cb-469f-a165-70867728950g"}) {
        EXPECT_FALSE(GuidFromString(bad, guid)) << bad;
        EXPECT_EQ(guid, before);
    }
    const std::string fresh = GuidToString(NewGuid());
    EXPECT_EQ(fresh.size(), 36u);
    EXPECT_EQ(fresh[14], '4'); // a random (version 4) UUID
    EXPECT_NE(fresh, GuidToString(NewGuid()));
}

TEST(CMapGuidToPointer, HashesTheKeyBytesInMemoryOrderAsSignedBytes) {
    EXPECT_EQ(CMapGuidToPointer<int>::HashKey(kNilGuid), 0u);
    EXPECT_EQ(CMapGuidToPointer<int>::HashKey(Guid("00000001-0000-0000-0000-000000000000")), 204809697u);
    EXPECT_EQ(CMapGuidToPointer<int>::HashKey(Guid(kA)), 1940383181u);
    EXPECT_EQ(CMapGuidToPointer<int>::HashKey(Guid("ffffffff-ffff-ffff-ffff-ffffffffffff")), 1533620464u);
}

TEST(CMapGuidToPointer, SetsLooksUpReplacesAndRemoves) {
    CMapGuidToPointer<int> map;
    EXPECT_EQ(map.GetHashTableSize(), 17u);
    int one = 1;
    int two = 2;
    int* found = nullptr;
    EXPECT_FALSE(map.Lookup(Guid(kA), found));
    map.SetAt(Guid(kA), &one);
    map.SetAt(kNilGuid, &two);
    ASSERT_TRUE(map.Lookup(Guid(kA), found));
    EXPECT_EQ(found, &one);
    map.SetAt(Guid(kA), &two);
    ASSERT_TRUE(map.Lookup(Guid(kA), found));
    EXPECT_EQ(found, &two);
    EXPECT_EQ(map.GetCount(), 2u);
    EXPECT_TRUE(map.RemoveKey(Guid(kA)));
    EXPECT_FALSE(map.Lookup(Guid(kA), found));
    map.RemoveAll();
    EXPECT_EQ(map.GetCount(), 0u);
    EXPECT_FALSE(map.Lookup(kNilGuid, found));
}

TEST(CMapGuidToPointer, ManyKeysStayReachable) {
    CMapGuidToPointer<int> map;
    std::vector<GUID> keys(5000);
    std::vector<int> values(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i] = NewGuid();
        values[i] = static_cast<int>(i);
        map.SetAt(keys[i], &values[i]);
    }
    EXPECT_EQ(map.GetCount(), keys.size());
    EXPECT_GT(map.GetHashTableSize(), 17u);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        int* found = nullptr;
        ASSERT_TRUE(map.Lookup(keys[i], found));
        EXPECT_EQ(*found, static_cast<int>(i));
    }
}

TEST(CChecklistCollection, FindsItemsByIdByPredecessorAndAsFirstChild) {
    CChecklistCollection collection(true);
    auto* first = new CChecklistItem;
    first->parent = Guid(kC);
    auto* second = new CChecklistItem;
    second->parent = Guid(kC);
    second->after = first->id;
    collection.Add(first);
    collection.Add(second);
    EXPECT_EQ(collection.FindFirstChild(Guid(kC)), first);
    EXPECT_EQ(collection.FindFollowing(first->id), second);
    EXPECT_EQ(collection.FindById(second->id), second);
    EXPECT_EQ(collection.FindFollowing(second->id), nullptr);

    collection.RemoveAt(0);
    EXPECT_EQ(collection.GetSize(), 1u);
    EXPECT_EQ(collection.GetAt(0), second);
    EXPECT_EQ(collection.FindFirstChild(Guid(kC)), nullptr);
}

TEST(CChecklistCollection, AnItemWithoutTriggerLosesTheTriggeredFlagWhenAdded) {
    CChecklistCollection collection(true);
    auto* plain = new CChecklistItem;
    plain->flags = 0x80001;
    auto* triggered = new CChecklistItem;
    triggered->flags = 0x80001;
    triggered->trigger = Guid(kTrigger);
    collection.Add(plain);
    collection.Add(triggered);
    EXPECT_EQ(plain->flags, 1);
    EXPECT_TRUE(plain->dirty);
    EXPECT_EQ(triggered->flags, 0x80001);
    EXPECT_FALSE(triggered->dirty);
}

TEST(CChecklistItem, StartsWithItsDefaults) {
    const CChecklistItem item;
    EXPECT_FALSE(IsNilGuid(item.id));
    EXPECT_TRUE(IsNilGuid(item.after) && IsNilGuid(item.parent) && IsNilGuid(item.trigger));
    EXPECT_EQ(item.flags, 0x2000000000000000LL);
    EXPECT_EQ(item.resides, 0x7FFFFFFFFFFFFFFFLL);
    EXPECT_FALSE(item.dirty || item.deleted);
}

TEST_F(ChecklistImport, StoresEachItemWithItsGuidsTextsAndSplitMasks) {
    Import(Section({{"ID", kA},
                    {"parent", kC},
                    {"text", "File the debtor's taxes\nfor two years"},
                    {"desc", "Ask for \"all\" returns"},
                    {"flags", "-1"},
                    {"resides", "4294967296"},
                    {"districts", "NYSB,O'Hare"},
                    {"trigger", kTrigger},
                    {"triggername", "Debtor's spouse files"}}) +
           Section({{"ID", kB}, {"after", kA}, {"parent", kC}, {"text", "Second"}, {"flags", "  +12abc"}}));
    EXPECT_EQ(
        Items(),
        (Lines{std::string(kA) + "|" + kNil + "|" + kC +
                   "|File the debtor's taxes\nfor two years|Ask for \"all\" returns|-1|-1|0|1|NYSB,O'Hare|" +
                   kTrigger,
               std::string(kB) + "|" + kA + "|" + kC + "|Second||12|0|0|0||"}));
    EXPECT_EQ(Triggers(), (Lines{std::string(kTrigger) + "|Debtor's spouse files"}));
    EXPECT_FALSE(collection.GetAt(0)->dirty);
    // The item with an empty "after" is its parent's first child.
    EXPECT_EQ(collection.FindFirstChild(Guid(kC)), collection.GetAt(0));
    EXPECT_EQ(collection.FindFollowing(Guid(kA)), collection.GetAt(1));
}

TEST_F(ChecklistImport, TheSameIdTwiceWritesOneRowWithTheLaterFields) {
    Import(Section({{"ID", kA}, {"text", "First version"}, {"flags", "1"}}) +
           Section({{"ID", kA}, {"text", "Second version"}, {"flags", "524290"}}));
    EXPECT_EQ(collection.GetSize(), 1u);
    // 524290 is 0x80002: without a trigger the later record loses the triggered flag too.
    EXPECT_EQ(MainRows("SELECT ID, text, flagslo FROM CheckListTable"),
              (Lines{std::string(kA) + "|Second version|2"}));
}

TEST_F(ChecklistImport, OnlyItemsWithATriggerKeepTheTriggeredFlag) {
    Import(Section({{"ID", kA}, {"text", "a"}, {"flags", "524289"}}) +
           Section({{"ID", kB}, {"text", "b"}, {"flags", "524289"}, {"trigger", kTrigger}}));
    EXPECT_EQ(MainRows("SELECT text, flagslo FROM CheckListTable ORDER BY text"), (Lines{"a|1", "b|524289"}));
}

TEST_F(ChecklistImport, AKnownTriggerIsNotInsertedAgainWhateverItsName) {
    theMainDb.ExecuteSQL(std::string("INSERT INTO CheckListTriggerTable (trigger, description) VALUES('") +
                         kTrigger + "', 'Original')");
    Import(Section({{"ID", kA}, {"text", "a"}, {"trigger", kTrigger}, {"triggername", "Another name"}}) +
           Section({{"ID", kB}, {"text", "b"}, {"trigger", kC}}) +
           Section({{"ID", kC}, {"text", "c"}, {"trigger", "not a guid"}, {"triggername", "Nothing"}}));
    EXPECT_EQ(Triggers(), (Lines{std::string(kTrigger) + "|Original"}));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(MainRows("SELECT text, trigger FROM CheckListTable ORDER BY text"),
              (Lines{std::string("a|") + kTrigger, std::string("b|") + kC, "c|"}));
}

TEST_F(ChecklistImport, AnItemAlreadyInTheTableIsOverwritten) {
    Import(Section({{"ID", kA}, {"text", "Old"}, {"districts", "NYSB"}}));
    CChecklistCollection later(true);
    ImportRecords records;
    ASSERT_TRUE(ImportChecklistRecords(
        records, WriteDataFile("update.ini", Section({{"ID", kA}, {"text", "New"}, {"trigger", kTrigger}}))));
    MergeChecklistRecords(records, later);
    StoreChecklists(later);
    EXPECT_EQ(MainRows("SELECT ID, text, districts, trigger FROM CheckListTable"),
              (Lines{std::string(kA) + "|New||" + kTrigger}));
}

TEST_F(ChecklistImport, ARecordWithoutAnIdBecomesANewItemOfItsOwn) {
    Import(Section({{"text", "one"}}) + Section({{"ID", "garbage"}, {"text", "two"}}));
    const Lines ids = MainRows("SELECT ID FROM CheckListTable");
    ASSERT_EQ(ids.size(), 2u);
    GUID guid;
    EXPECT_TRUE(GuidFromString(ids[0], guid) && !IsNilGuid(guid));
    EXPECT_NE(ids[0], ids[1]);
}

TEST_F(ChecklistImport, DeletedItemsAreRemovedFromTheTableAndTheCollection) {
    Import(Section({{"ID", kA}, {"text", "a"}}) + Section({{"ID", kB}, {"text", "b"}}));
    collection.GetAt(0)->deleted = true;
    StoreChecklists(collection);
    EXPECT_EQ(MainRows("SELECT text FROM CheckListTable"), (Lines{"b"}));
    ASSERT_EQ(collection.GetSize(), 1u);
    EXPECT_EQ(GuidToString(collection.GetAt(0)->id), kB);
}

TEST_F(ChecklistImport, ADatabaseFailureIsShownAndEndsTheStore) {
    ImportRecords records;
    ASSERT_TRUE(ImportChecklistRecords(
        records,
        WriteDataFile("c.ini", Section({{"ID", kA}, {"text", "a"}}) + Section({{"ID", kB}, {"text", "b"}}))));
    MergeChecklistRecords(records, collection);
    theMainDb.ExecuteSQL("DROP TABLE CheckListTable");
    StoreChecklists(collection);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].style, win::MB_ICONINFORMATION);
    EXPECT_TRUE(collection.GetAt(0)->dirty && collection.GetAt(1)->dirty);
    EXPECT_FALSE(theMainDb.IsInTransaction());
}

TEST_F(ChecklistImport, QuotesInDistrictsAreStoredAsTextAndChangeNothingElse) {
    Import(Section({{"ID", kB}, {"text", "keep"}, {"trigger", kTrigger}, {"triggername", "Kept"}}));
    const std::string attack = "NYSB', 0); DELETE FROM CheckListTriggerTable; --";
    Import(Section({{"ID", kA}, {"text", "attack"}, {"districts", attack}}));
    EXPECT_EQ(MainRows("SELECT text, districts FROM CheckListTable ORDER BY text"),
              (Lines{"attack|" + attack, "keep|"}));
    EXPECT_EQ(Triggers(), (Lines{std::string(kTrigger) + "|Kept"}));
    EXPECT_TRUE(ui.Messages().empty());
}
