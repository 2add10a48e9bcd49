#include "tests/xml/XmlTestSupport.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>
#include <string>

namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

class XmlWrite : public ::testing::Test {
protected:
    XmlElement& AddRoot(const std::string& name, const std::string& text = {}) {
        auto element = factory.CreateElement(name);
        element->SetText(text);
        return *document.roots.emplace_back(std::move(element));
    }
    XmlElement& AddChild(XmlElement& parent, const std::string& name, const std::string& text = {}) {
        auto element = factory.CreateElement(name);
        element->SetText(text);
        return *parent.children.emplace_back(std::move(element));
    }
    std::string Written(const XmlDocument& source) {
        std::string output = "previous content";
        EXPECT_TRUE(source.Write(output, kDeclaration));
        return output;
    }

    XmlParseContext factory; // belongs to no document
    XmlDocument document{false};
};

} // namespace

TEST_F(XmlWrite, TextElementsTakeOneLineWithEscapedText) {
    AddRoot("r", "a&b");
    EXPECT_EQ(Written(document), std::string(kDeclaration) + "\r\n<r>a&#38;b</r>\r\n");
}

TEST_F(XmlWrite, EmptyElementsEndInSlashWithoutLineBreak) {
    XmlElement& e = AddRoot("e");
    e.attributes.push_back(std::make_unique<XmlAttribute>("x", "1"));
    e.attributes.push_back(std::make_unique<XmlAttribute>("q", "say \"<it>\" & 'go'"));
    AddRoot("f");
    EXPECT_EQ(Written(document),
              std::string(kDeclaration) +
                  "\r\n<e x=\"1\" q=\"say &#34;&#60;it&#62;&#34; &#38; &#39;go&#39;\"/><f/>");
}

TEST_F(XmlWrite, ParentsPutChildrenOnTheirOwnLinesAndDropTheirOwnText) {
    XmlElement& parent = AddRoot("p", "ignored when there are children");
    AddChild(parent, "a", "1");
    AddChild(parent, "b", "2");
    XmlElement& nested = AddChild(parent, "n");
    AddChild(nested, "c");
    EXPECT_EQ(Written(document),
              std::string(kDeclaration) + "\r\n<p>\r\n<a>1</a>\r\n<b>2</b>\r\n<n>\r\n<c/></n>\r\n</p>\r\n");
}

TEST_F(XmlWrite, ParsedElementsCarryEveryNamespaceOfTheirDocument) {
    XmlDocument parsed(false);
    ASSERT_TRUE(parsed.Parse("<p:a xmlns:p=\"u1\"><b xmlns=\"u2\">t</b></p:a>"));
    EXPECT_EQ(Written(parsed), std::string(kDeclaration) +
                                   "\r\n<p:a xmlns:p=\"u1\" xmlns=\"u2\">\r\n"
                                   "<:b xmlns:p=\"u1\" xmlns=\"u2\">t</:b>\r\n</p:a>\r\n");
    // The reader takes ":b" back to the default namespace.
    XmlDocument again(false);
    ASSERT_TRUE(again.Parse(Written(parsed)));
    EXPECT_EQ(Written(again), Written(parsed));
}

TEST_F(XmlWrite, WrittenTextReadsBackUnchanged) {
    const std::string path = "C:\\Program Files\\Smith & Jones <Law> \"Firm\"\\it's.exe";
    XmlElement& root = AddRoot("TallymarUninstall");
    AddChild(root, "DeleteFile", path);
    AddChild(root, "DeleteFile", "&amp;lt; stays literal");
    const std::string value = "Smith & Jones <Law> \"Firm\" it's";
    root.attributes.push_back(std::make_unique<XmlAttribute>("v", value));
    XmlDocument parsed(false);
    ASSERT_TRUE(parsed.Parse(Written(document)));
    const XmlElement& back = *parsed.roots.at(0);
    EXPECT_EQ(back.children.at(0)->Text(), path);
    EXPECT_EQ(back.children.at(1)->Text(), "&amp;lt; stays literal");
    EXPECT_EQ(back.attributes.at(0)->value, value);
}

TEST_F(XmlWrite, OutputIsReplacedAndAnEmptyDocumentIsTheDeclarationAlone) {
    EXPECT_EQ(Written(document), std::string(kDeclaration) + "\r\n");
}
