#include "tests/xml/XmlTestSupport.h"
#include "xml/XmlDocument.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace {

class XmlParse : public ::testing::Test {
protected:
    // Parses text into a fresh document and expects it to succeed.
    XmlDocument& Parsed(const std::string& text) {
        EXPECT_TRUE(document.Parse(text)) << (reports.debug.empty() ? "" : reports.debug.back());
        return document;
    }
    // Parses text and returns the one report it gave (the debug output, less its extra LF).
    std::string Failure(const std::string& text) {
        EXPECT_FALSE(document.Parse(text));
        EXPECT_EQ(reports.debug.size(), 1U);
        if (reports.debug.empty())
            return {};
        std::string report = reports.debug.back();
        EXPECT_EQ(report.back(), '\n');
        report.pop_back();
        return report;
    }
    // The first line of the report: the prefix and the message.
    std::string FailureMessage(const std::string& text) {
        const std::string report = Failure(text);
        return report.substr(0, report.find('\n'));
    }

    tltest::CapturedXmlReports reports;
    XmlDocument document{false};
};

} // namespace

TEST_F(XmlParse, EmptyTextAndDeclarationsCommentsAndStrayTextGiveNoElements) {
    EXPECT_TRUE(Parsed("").roots.empty());
    EXPECT_TRUE(Parsed("<?xml version=\"1.0\" encoding=\"utf-16\" ?>\r\n<!-- a\r\ncomment -->  stray ")
                    .roots.empty());
    EXPECT_TRUE(Parsed("<!-- never closed <a>").roots.empty());
    EXPECT_TRUE(reports.debug.empty());
}

TEST_F(XmlParse, BuildsTheTreeWithChildrenInDocumentOrder) {
    Parsed("<a><b/><c>1</c><b>2</b></a><d/>");
    ASSERT_EQ(document.roots.size(), 2U);
    const XmlElement& a = *document.roots[0];
    ASSERT_EQ(a.children.size(), 3U);
    EXPECT_EQ(a.children[0]->name, "b");
    EXPECT_TRUE(a.children[0]->Text().empty());
    EXPECT_EQ(a.children[1]->Text(), "1");
    EXPECT_EQ(a.FindChild("B"), a.children[0].get());
    EXPECT_EQ(a.FindChild("c")->Text(), "1");
    EXPECT_EQ(a.FindChild("x"), nullptr);
    EXPECT_EQ(document.roots[1]->name, "d");
    EXPECT_EQ(a.creator, document.roots[1]->creator);
    EXPECT_EQ(a.creator->TopLevelElements(),
              (std::vector<XmlElement*>{document.roots[0].get(), document.roots[1].get()}));
}

TEST_F(XmlParse, LastTextRunWinsAndKeepsTrailingButNotLeadingWhitespace) {
    Parsed("<a>x<b/>y</a>");
    EXPECT_EQ(document.roots[0]->Text(), "y");
    XmlDocument second(false);
    ASSERT_TRUE(second.Parse("<a>   text \r\n</a>"));
    EXPECT_EQ(second.roots[0]->Text(), "text \r\n");
}

TEST_F(XmlParse, TextIsDecodedOnceAndCDataIsKeptRawWithItsMarker) {
    Parsed("<a>&#65;&#x42;&lt;&AMP;&nbsp;</a><b><![CDATA[<x>&amp;]]></b>");
    EXPECT_EQ(document.roots[0]->Text(), "AB<& ");
    EXPECT_EQ(document.roots[1]->Text(), "![CDATA[<x>&amp;");
}

TEST_F(XmlParse, NamesLoseTheirPrefixAndTurnHyphensIntoUnderscores) {
    Parsed("<file-list><p:item-x/><a:/></file-list>");
    const XmlElement& list = *document.roots[0];
    EXPECT_EQ(list.name, "file_list");
    EXPECT_EQ(list.children[0]->name, "item_x");
    EXPECT_EQ(list.children[1]->name, "a:") << "a colon as the last byte is no prefix";
}

TEST_F(XmlParse, DebugTagsAreDroppedAndWhatFollowsTheirNameIsText) {
    Parsed("<a><debug>trace</debug></a>");
    ASSERT_EQ(document.roots.size(), 1U);
    EXPECT_TRUE(document.roots[0]->children.empty());
    EXPECT_EQ(document.roots[0]->Text(), ">") << "the last run is the one after </debug";
}

TEST_F(XmlParse, AttributesQuotedEitherWayOrBareAndWithoutPrefix) {
    Parsed("<a one='1' two=\"2 &amp; 3\" bare x:three=3 four = \"4\"/>");
    const auto& attributes = document.roots[0]->attributes;
    ASSERT_EQ(attributes.size(), 6U);
    EXPECT_EQ(attributes[0]->name, "one");
    EXPECT_EQ(attributes[0]->value, "1");
    EXPECT_EQ(attributes[1]->value, "2 & 3");
    EXPECT_EQ(attributes[2]->name, "bare");
    EXPECT_EQ(attributes[2]->value, "");
    EXPECT_EQ(attributes[3]->name, "three");
    EXPECT_EQ(attributes[3]->value, "3");
    // A blank before "=" ends the name: the name gets an empty value and "=" starts a nameless one.
    EXPECT_EQ(attributes[4]->name, "four");
    EXPECT_EQ(attributes[4]->value, "");
    EXPECT_EQ(attributes[5]->name, "");
    EXPECT_EQ(attributes[5]->value, "4");
}

TEST_F(XmlParse, BackslashEscapesInQuotedValuesExceptInSchemaLocation) {
    Parsed("<a v=\"say \\\"hi\\\" \\\\ ok\" xsi:schemaLocation=\"C:\\dir\\\" x=\"1\"/>");
    const auto& attributes = document.roots[0]->attributes;
    ASSERT_EQ(attributes.size(), 3U);
    EXPECT_EQ(attributes[0]->value, "say \"hi\" \\ ok");
    EXPECT_EQ(attributes[1]->name, "schemaLocation");
    EXPECT_EQ(attributes[1]->value, "C:\\dir\\");
    EXPECT_EQ(attributes[2]->value, "1");
}

TEST_F(XmlParse, NamespaceDeclarationsMakeOneRecordPerUri) {
    Parsed("<p:a xmlns:p=\"u&amp;1\"/>");
    ASSERT_EQ(document.Namespaces().size(), 1U);
    const XmlNamespace& record = *document.Namespaces()[0];
    EXPECT_EQ(record.uri, "u&1");
    EXPECT_EQ(record.prefix, "p");
    const XmlElement& a = *document.roots[0];
    EXPECT_EQ(a.name, "a");
    EXPECT_EQ(a.xmlNamespace, &record);
    EXPECT_TRUE(a.attributes.empty());

    // The same uri again keeps the first record; a default declaration applies to unprefixed names,
    // including the element that declares it and later elements.
    ASSERT_TRUE(document.Parse("<b xmlns=\"d\"><q:c xmlns:q=\"u&amp;1\"/><e/></b>"));
    ASSERT_EQ(document.Namespaces().size(), 2U);
    const XmlElement& b = *document.roots[1];
    EXPECT_EQ(b.xmlNamespace, document.Namespaces()[1].get());
    EXPECT_EQ(b.children[0]->xmlNamespace, document.Namespaces()[0].get()) << "declared here, kept as p";
    EXPECT_EQ(b.children[1]->xmlNamespace, document.Namespaces()[1].get());
}

TEST_F(XmlParse, ClosingTagsMatchNameAndNamespaceAndAStrayOneOpensAnElement) {
    Parsed("<p:a xmlns:p='u'><b></b></p:a></c></c>");
    ASSERT_EQ(document.roots.size(), 2U);
    EXPECT_EQ(document.roots[1]->name, "c") << "a closing tag with nothing open starts an element";
    XmlDocument other(false);
    EXPECT_FALSE(other.Parse("<p:a xmlns:p='u'></a>")) << "same name, different namespace";
}

TEST_F(XmlParse, ErrorsReportTheTextTheLineAndAnExcerpt) {
    EXPECT_EQ(Failure("<a>\n</b> and more\nnext line"),
              "XML parsing error at line 1 - Open tag (b)\n> and more");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<a>"), "XML parsing error at line 1 - Open tag (a)");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<a v=\"open"), "XML parsing error at line 1 - No closing quote");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<a>text<"), "XML parsing error at line 1 - No tag name at end of file");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<a>text<  \n "), "XML parsing error at line 1 - No tag name at end of file");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<?xml version='1.0'"), "XML parsing error at line 1 - Open comment tag");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<?xml ?a>"), "XML parsing error at line 1 - Open comment tag");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<abc"), "XML parsing error at line 1 - Open tag (abc)");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<a x"), "XML parsing error at line 1 - Open tag (a)");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<a x='1'"), "XML parsing error at line 1 - Open tag (a)");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<a x="), "XML parsing error at line 1 - Missing attribute value (a)");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<a 'x'"), "XML parsing error at line 1 - Missing attribute value (a)");
    reports.debug.clear();
    EXPECT_EQ(FailureMessage("<a></a"), "XML parsing error at line 1 - Open tag (/a)") << "the partial name";
    EXPECT_TRUE(reports.boxes.empty()) << "the document does not ask for message boxes";
}

TEST_F(XmlParse, LineCountFollowsCommentsTextAndAttributes) {
    EXPECT_EQ(FailureMessage("<!-- one\ntwo\nthree -->\n<a>\n</b>"),
              "XML parsing error at line 4 - Open tag (b)");
    reports.debug.clear();
    // After each attribute the token line moves on to where the attribute ended.
    EXPECT_EQ(FailureMessage("<a\nx='1\n2'\ny='open"), "XML parsing error at line 3 - No closing quote");
}

TEST_F(XmlParse, AnErrorKeepsWhatWasReadAndDropsTheElementBeingRead) {
    EXPECT_FALSE(document.Parse("<r><done/><partial x='1' y='open"));
    ASSERT_EQ(document.roots.size(), 1U);
    ASSERT_EQ(document.roots[0]->children.size(), 1U);
    EXPECT_EQ(document.roots[0]->children[0]->name, "done");

    XmlDocument second(false);
    EXPECT_FALSE(second.Parse("<first/><second x"));
    ASSERT_EQ(second.roots.size(), 1U);
    EXPECT_EQ(second.roots[0]->name, "first");
    EXPECT_EQ(second.roots[0]->creator->TopLevelElements().size(), 1U);
}

TEST_F(XmlParse, MessageBoxOnlyWhenTheDocumentAsksForIt) {
    XmlDocument showing(true);
    EXPECT_EQ(showing.flags, XmlDocument::kShowErrors);
    EXPECT_FALSE(showing.Parse("<a>"));
    ASSERT_EQ(reports.boxes.size(), 1U);
    EXPECT_EQ(reports.boxes[0], "XML parsing error at line 1 - Open tag (a)\n");
    EXPECT_EQ(reports.debug.back(), reports.boxes[0] + "\n");
}

TEST(XmlParseReports, GoToStandardErrorUnlessRedirected) {
    XmlDocument document(false);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(document.Parse("<a"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "XML parsing error at line 1 - Open tag (a)\n\n");
}

TEST(XmlParseCorpus, BrokenSeedsFailWithOneReportAndTheOthersSurviveAWriteAndReread) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TL_XML_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const bool broken = entry.path().filename().string().starts_with("broken-");
        tltest::CapturedXmlReports reports;
        XmlDocument document(false);
        EXPECT_EQ(document.Parse(text), !broken) << entry.path();
        EXPECT_EQ(reports.debug.size(), broken ? 1U : 0U) << entry.path();
        if (broken)
            continue;
        std::string written;
        document.Write(written, "<?xml?>");
        XmlDocument again(false);
        EXPECT_TRUE(again.Parse(written)) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 5);
}
