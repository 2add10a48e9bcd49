#include "tests/xml/XmlTestSupport.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>
#include <string>

// A hostile or broken file may nest elements as deep as it likes; destroying, writing and binding
// such a tree must not run out of stack (each of them would need one frame per level if it
// recursed: 100,000 levels are far beyond the default thread stack).
namespace {

constexpr int kDepth = 100000;

std::string Nested(int depth) {
    std::string text;
    text.reserve(static_cast<std::size_t>(depth) * 8 + 16);
    for (int i = 0; i < depth; ++i)
        text += "<n>";
    text += "leaf";
    for (int i = 0; i < depth; ++i)
        text += "</n>";
    return text;
}

int bound = 0;
std::string leaf;
void Count(void*, XmlObject object) {
    // The object stays alive in a list of the test until the walk is over.
    static std::vector<XmlObject> kept;
    kept.push_back(std::move(object));
    ++bound;
}
void SetLeaf(void*, const std::string& value) {
    if (!value.empty())
        leaf = value;
}
struct Node {};
constexpr XmlRuntimeClass kNodeClass = XmlClassOf<Node>("Node");
extern const XmlBinding kNodeTable[];
const XmlBinding kNodeTable[] = {
    {.childTable = kNodeTable, .childCount = 2, .name = "n", .runtimeClass = &kNodeClass, .attach = Count},
    {.name = nullptr, .setText = SetLeaf},
};

} // namespace

TEST(XmlDeepNesting, ParseWriteBindAndDestroyAHundredThousandLevels) {
    tltest::CapturedXmlReports reports;
    std::string written;
    {
        XmlDocument document(false);
        ASSERT_TRUE(document.Parse(Nested(kDepth)));

        ASSERT_TRUE(document.Write(written, "<?xml?>"));
        EXPECT_EQ(written.size(), 9U + (kDepth - 1) * 11U + 13U);
        EXPECT_NE(written.find("\r\n<n>leaf</n>\r\n</n>\r\n</n>\r\n"), std::string::npos);

        Node top;
        document.Bind(kNodeTable, 2, &top);
        EXPECT_EQ(bound, kDepth);
        EXPECT_EQ(leaf, "leaf");
    } // destroyed here

    XmlDocument again(false);
    EXPECT_TRUE(again.Parse(written));
}

TEST(XmlDeepNesting, AnUnclosedDeepTreeFailsAndIsDestroyedSafely) {
    tltest::CapturedXmlReports reports;
    XmlDocument document(false);
    std::string open;
    for (int i = 0; i < kDepth; ++i)
        open += "<n>";
    EXPECT_FALSE(document.Parse(open));
    ASSERT_EQ(reports.debug.size(), 1U);
    EXPECT_EQ(reports.debug[0], "XML parsing error at line 1 - Open tag (n)\n\n");
}
