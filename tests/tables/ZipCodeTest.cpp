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
