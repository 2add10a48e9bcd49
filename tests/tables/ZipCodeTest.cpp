#include "tables/ZipCode.h"

#include <gtest/gtest.h>
#include <limits>

TEST(ZipCode, AllDigitsAcceptsOnlyDecimalDigits) {
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("0123456789"));
    EXPECT_FALSE(IsAllDigits("12345-6789"));
    EXPECT_FALSE(IsAllDigits(" 1"));
    EXPECT_FALSE(IsAllDigits("1a"));
}

TEST(ZipCode, ParseSplitsZipCodeAndExtension) {
    struct Case {
        const char* text;
        std::int32_t zip;
        std::int32_t extension;
    };
    const Case cases[] = {
        {"12345", 12345, 0},
        {"00501-1234", 501, 1234},
        {"1234-56789", 1234, 0}, // the hyphen must be the sixth of ten characters
        {"12345-678", 12345, 0},
        {"12345-67890", 12345, 0},
        {"12345-12ab", 12345, 12},
        {"  42", 42, 0},
        {"abc", 0, 0},
        {"", 0, 0},
        {"-1234", 0, 0},
        {"99999999999", std::numeric_limits<std::int32_t>::max(), 0},
    };
    for (const Case& c : cases) {
        std::int32_t zip = -1;
        std::int32_t extension = -1;
        ParseZip(c.text, zip, extension);
        EXPECT_EQ(zip, c.zip) << c.text;
        EXPECT_EQ(extension, c.extension) << c.text;
    }
}

TEST(ZipCode, FormatPadsWithZerosAndDropsAZeroZipCode) {
    EXPECT_EQ(FormatZip(501, 0), "00501");
    EXPECT_EQ(FormatZip(12345, 0), "12345");
    EXPECT_EQ(FormatZip(501, 1), "00501-0001");
    EXPECT_EQ(FormatZip(0, 0), "");
    EXPECT_EQ(FormatZip(0, 1234), "");
}

TEST(ZipCode, TheExtensionIsReadAsAtoiReadsItSignIncluded) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"12345--123", -123}, {"12345-+123", 123}, {"12345- -12", -12}, {"12345---12", 0}, {"12345-- 12", 0},
    };
    for (const auto& [text, extension] : cases) {
        std::int32_t zip = -1;
        std::int32_t read = -1;
        ParseZip(text, zip, read);
        EXPECT_EQ(zip, 12345) << text;
        EXPECT_EQ(read, extension) << text;
    }
    std::int32_t zip = -1;
    std::int32_t extension = -1;
    ParseZip("-99999999999999", zip, extension);
    EXPECT_EQ(zip, 0) << "the zip code ends at the first hyphen";
}
