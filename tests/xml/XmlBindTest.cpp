#include "tests/xml/XmlTestSupport.h"
#include "xml/XmlDocument.h"
#include "xml/XmlText.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// A small object model in the shape of the manifest's: a list holding items, items with scalars.
struct Item {
    std::string name;
    std::string version;
    int flags = 0;
    std::string body;
    std::vector<std::unique_ptr<Item>> parts;
};

struct Catalog {
    std::vector<std::unique_ptr<Item>> items;
    std::string title;
    std::vector<std::string> trace; // the calls in order
};

struct Root {
    std::vector<std::unique_ptr<Catalog>> catalogs;
};

Catalog* lastCatalog = nullptr;

void AddCatalog(void* target, XmlObject object) {
    auto catalog = XmlTakeObject<Catalog>(object);
    lastCatalog = catalog.get();
    static_cast<Root*>(target)->catalogs.push_back(std::move(catalog));
}
void AddItem(void* target, XmlObject object) {
    static_cast<Catalog*>(target)->items.push_back(XmlTakeObject<Item>(object));
    lastCatalog->trace.push_back("item");
}
void AddPart(void* target, XmlObject object) {
    static_cast<Item*>(target)->parts.push_back(XmlTakeObject<Item>(object));
}
void SetTitle(void* target, const std::string& value) {
    static_cast<Catalog*>(target)->title = value;
}
void SetName(void* target, const std::string& value) {
    static_cast<Item*>(target)->name = value;
    lastCatalog->trace.push_back("name=" + value);
}
void SetVersion(void* target, const std::string& value) {
    static_cast<Item*>(target)->version = value;
}
void SetFlags(void* target, const std::string& value) {
    static_cast<Item*>(target)->flags = XmlTextToBool(value);
}
void SetBody(void* target, const std::string& value) {
    static_cast<Item*>(target)->body = value;
}

constexpr XmlRuntimeClass kCatalogClass = XmlClassOf<Catalog>("Catalog");
constexpr XmlRuntimeClass kItemClass = XmlClassOf<Item>("Item");

extern const XmlBinding kItemTable[];
constexpr int kItemRows = 6;
const XmlBinding kItemTable[kItemRows] = {
    {.name = "Name", .setText = SetName},
    {.name = "Version", .setText = SetVersion},
    {.name = "Flags", .setText = SetFlags},
    {.name = nullptr, .setText = SetBody},
    {.name = "Remarks"}, // no set-text function: matched and passed over
    {.childTable = kItemTable,
     .childCount = 1,
     .name = "Part",
     .runtimeClass = &kItemClass,
     .attach = AddPart},
};
const XmlBinding kCatalogTable[] = {
    {.childTable = kItemTable,
     .childCount = kItemRows,
     .name = "Item",
     .runtimeClass = &kItemClass,
     .attach = AddItem},
    {.name = "Title", .setText = SetTitle},
};
const XmlBinding kTopTable[] = {
    {.childTable = kCatalogTable,
     .childCount = 2,
     .name = "Catalog",
     .runtimeClass = &kCatalogClass,
     .attach = AddCatalog},
};

class XmlBind : public ::testing::Test {
protected:
    Root& Bound(const std::string& text) {
        EXPECT_TRUE(document.Parse(text)) << (reports.debug.empty() ? "" : reports.debug.back());
        document.Bind(kTopTable, 1, &root);
        return root;
    }

    tltest::CapturedXmlReports reports;
    XmlDocument document{false};
    Root root;
};

} // namespace

TEST_F(XmlBind, NamesMatchWithoutRegardToCaseAndUnknownElementsAreIgnored) {
    Bound("<catalog><ITEM><name>a.exe</name><version>1.0.0.2</version><unknown>x</unknown></ITEM>"
          "<Title>T</Title></catalog><Other/><CATALOG/>");
    ASSERT_EQ(root.catalogs.size(), 2U);
    ASSERT_EQ(root.catalogs[0]->items.size(), 1U);
    EXPECT_EQ(root.catalogs[0]->items[0]->name, "a.exe");
    EXPECT_EQ(root.catalogs[0]->items[0]->version, "1.0.0.2");
    EXPECT_EQ(root.catalogs[0]->title, "T");
    EXPECT_TRUE(root.catalogs[1]->items.empty());
}

TEST_F(XmlBind, ChildElementsAreBoundBeforeAttributesSoAttributesWin) {
    Bound("<Catalog><Item p:Name='attr' Flags='On'><Name>child</Name></Item>"
          "<Item Name='b.dll' Flags='12'/></Catalog>");
    const auto& items = root.catalogs.at(0)->items;
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0]->name, "attr");
    EXPECT_EQ(items[0]->flags, 1);
    EXPECT_EQ(items[1]->flags, 12);
    EXPECT_EQ(root.catalogs[0]->trace,
              (std::vector<std::string>{"item", "name=child", "name=attr", "item", "name=b.dll"}));
}

TEST_F(XmlBind, TextIsDecodedASecondTimeButCDataPassesUnchanged) {
    Bound("<Catalog><Item><Name>&amp;lt;</Name><Version><![CDATA[<b>&amp;</b>]]></Version></Item>"
          "<Item Name='&amp;amp;'/></Catalog>");
    const auto& items = root.catalogs.at(0)->items;
    EXPECT_EQ(items.at(0)->name, "<");
    EXPECT_EQ(items.at(0)->version, "<b>&amp;</b>");
    EXPECT_EQ(items.at(1)->name, "&");
}

TEST_F(XmlBind, NamelessRowsGetTheElementsOwnText) {
    Bound("<Catalog><Item Name='x'>body &amp;amp; more<Part/></Item></Catalog>");
    const Item& item = *root.catalogs.at(0)->items.at(0);
    EXPECT_EQ(item.body, "body & more");
    EXPECT_EQ(item.parts.size(), 1U);
}

TEST_F(XmlBind, SelfReferringTablesUseTheirOwnRowCount) {
    // Part rows point back at the item table with a count of 1; inside a part the whole table
    // applies again because it is the table the part was matched in.
    Bound("<Catalog><Item><Part Name='p1'><Part Name='p2' Version='v'/></Part></Item></Catalog>");
    const Item& part = *root.catalogs.at(0)->items.at(0)->parts.at(0);
    EXPECT_EQ(part.name, "p1");
    ASSERT_EQ(part.parts.size(), 1U);
    EXPECT_EQ(part.parts[0]->name, "p2");
    EXPECT_EQ(part.parts[0]->version, "v");
}

TEST_F(XmlBind, RowsWithoutTheFunctionTheyNeedArePassedOver) {
    // "Remarks" matches a row without a set-text function, as an element and as an attribute; a
    // crafted manifest must not make the binder call through nothing.
    Bound("<Catalog><Item Remarks='a'><Remarks>b</Remarks><Name>n</Name></Item></Catalog>");
    EXPECT_EQ(root.catalogs.at(0)->items.at(0)->name, "n");

    const XmlBinding noAttach[] = {
        {.childTable = kCatalogTable, .childCount = 2, .name = "Catalog", .runtimeClass = &kCatalogClass}};
    const XmlRuntimeClass noFactory{"Catalog", nullptr};
    const XmlBinding noCreate[] = {{.childTable = kCatalogTable,
                                    .childCount = 2,
                                    .name = "Catalog",
                                    .runtimeClass = &noFactory,
                                    .attach = AddCatalog}};
    Root other;
    document.Bind(noAttach, 1, &other);
    document.Bind(noCreate, 1, &other);
    EXPECT_TRUE(other.catalogs.empty());
}

namespace {

struct Tagged {
    std::vector<std::string> names;
    std::vector<std::unique_ptr<Tagged>> children;
};
void AddTagged(void* target, XmlObject object) {
    static_cast<Tagged*>(target)->children.push_back(XmlTakeObject<Tagged>(object));
    static_cast<Tagged*>(target)->names.push_back("object");
}
void SetTaggedName(void* target, const std::string& value) {
    static_cast<Tagged*>(target)->names.push_back(value);
}
constexpr XmlRuntimeClass kTaggedClass = XmlClassOf<Tagged>("Tagged");
constexpr XmlNamespaceBinding kUris[] = {{"m", "urn:manifest"}};

} // namespace

TEST_F(XmlBind, NamespacedRowsMatchOnTheUriAndPassTheirListToChildren) {
    const XmlBinding inner[] = {{.name = "m:Name", .setText = SetTaggedName}};
    const XmlBinding top[] = {
        {.name = "m:Name", .setText = SetTaggedName, .namespaces = kUris, .namespaceCount = 1},
        {.childTable = inner,
         .childCount = 1,
         .name = "x:List",
         .runtimeClass = &kTaggedClass,
         .attach = AddTagged,
         .namespaces = kUris,
         .namespaceCount = 1},
    };
    ASSERT_TRUE(document.Parse("<q:Name xmlns:q='urn:manifest'>one</q:Name><Name>no namespace</Name>"
                               "<o:Name xmlns:o='urn:other'>other uri</o:Name><q:List/>"));
    Tagged tagged;
    document.Bind(top, 2, &tagged);
    EXPECT_EQ(tagged.names, (std::vector<std::string>{"one", "no namespace", "object"}));

    // Inside a namespaced row the inherited list applies, and an element without a namespace no
    // longer matches.
    XmlDocument nested(false);
    ASSERT_TRUE(
        nested.Parse("<q:List xmlns:q='urn:manifest'><q:Name>in</q:Name><Name>plain</Name></q:List>"));
    Tagged outer;
    const XmlBinding listOnly[] = {{.childTable = inner,
                                    .childCount = 1,
                                    .name = "List",
                                    .runtimeClass = &kTaggedClass,
                                    .attach = AddTagged,
                                    .namespaces = kUris,
                                    .namespaceCount = 1}};
    nested.Bind(listOnly, 1, &outer);
    EXPECT_EQ(outer.names, (std::vector<std::string>{"object"}));
    ASSERT_EQ(outer.children.size(), 1U);
    EXPECT_EQ(outer.children[0]->names, (std::vector<std::string>{"in"}));
}
