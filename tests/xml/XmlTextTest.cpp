#include "xml/XmlText.h"

#include <gtest/gtest.h>
#include <string>

TEST(XmlDecodeEntities, DecodesReferencesAsTheReaderAlwaysHas) {
    const struct {
        const char* source;
        std::string decoded;
    } cases[] = {
        {"&#65;&#x42;&lt;&AMP;&nbsp;", "AB<& "},
        {"&#65&#x42&lt&amp", "AB<&"},                       // the ";" is optional
        {"&ampx", "&x"},                                    // names are prefixes of what follows
        {"&nbsp;", " "},                                    // a plain space, not 0xA0
        {"&#321;&#x141;", "AA"},                            // only the low eight bits count
        {"&#99999999999;", "\xFF"},                         // too large: saturates
        {"&#x;&#;&#xZ1;&bogus;&", "&#x;&#;&#xZ1;&bogus;&"}, // nothing recognised stays
        {"&quot;&apos;&gt;&QuOt;", "\"'>\""},
        {"&lt;;", "<;"},                              // only one ";" goes
        {"&amp;lt;", "&lt;"},                         // one level per call
        {"caf\xC3\xA9 &amp; co", "caf\xC3\xA9 & co"}, // UTF-8 bytes pass through
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XmlDecodeEntities(c.source), c.decoded) << c.source;
    EXPECT_EQ(XmlDecodeEntities("&#0;x"), std::string("\0x", 2));
}

TEST(XmlEscapeText, EscapesTheFiveCharactersWithNumericReferences) {
    EXPECT_EQ(XmlEscapeText("<&>"), "&#60;&#38;&#62;");
    EXPECT_EQ(XmlEscapeText("say \"it's\""), "say &#34;it&#39;s&#34;");
    EXPECT_EQ(XmlEscapeText("&#38;"), "&#38;#38;");
    EXPECT_EQ(XmlEscapeText("plain"), "plain");
    EXPECT_EQ(XmlEscapeText(""), "");
}

TEST(XmlEscapeText, DecodingGivesBackEveryByte) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    all += "&amp;&#65;&lt&";
    EXPECT_EQ(XmlDecodeEntities(XmlEscapeText(all)), all);
}

TEST(XmlTextToBool, WordsGiveOneAndOtherTextsTheirLeadingNumber) {
    for (const char* yes : {"On", "yes", "Y", "1", "t", "TRUE", "oN"})
        EXPECT_EQ(XmlTextToBool(yes), 1) << yes;
    for (const char* no : {"0", "false", "no", "off", "", "x12"})
        EXPECT_EQ(XmlTextToBool(no), 0) << no;
    EXPECT_EQ(XmlTextToBool("12"), 12);
    EXPECT_EQ(XmlTextToBool("5 apples"), 5);
    EXPECT_EQ(XmlTextToBool(" -3"), -3);
    EXPECT_EQ(XmlTextToBool("99999999999999999999"), 2147483647);
}

TEST(XmlWipeString, OverwritesEveryByteKeepingTheLength) {
    std::string text = "secret";
    XmlWipeString(text);
    EXPECT_EQ(text, std::string(6, '\xCC'));
}
