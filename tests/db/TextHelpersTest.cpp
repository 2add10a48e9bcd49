#include "db/CBlowfish.h"
#include "db/HexText.h"
#include "db/SecretText.h"
#include "db/SqlText.h"
#include "db/ZipCode.h"

#include <gtest/gtest.h>
#include <limits>

TEST(SqlText, QuoteDoublesEverySingleQuote) {
    EXPECT_EQ(SqlQuote(""), "");
    EXPECT_EQ(SqlQuote("Smith Law"), "Smith Law");
    EXPECT_EQ(SqlQuote("O'Neil's"), "O''Neil''s");
    EXPECT_EQ(SqlQuote("''"), "''''");
    EXPECT_EQ(SqlQuote("x'; DROP TABLE UserName; --"), "x''; DROP TABLE UserName; --");
}

TEST(SqlText, ConnectStringNamesTheFileTwiceAndTheFolderTwice) {
    EXPECT_EQ(FormatConnectString("\\\\SERVER\\Tallymar", "tallymar"),
              "ODBC;DBQ=\\\\SERVER\\Tallymar\\tallymar.mdb;DefaultDir=\\\\SERVER\\Tallymar;"
              "Driver={Microsoft Access Driver (*.mdb)};DriverId=25;FIL=MS Access;"
              "FILEDSN=\\\\SERVER\\Tallymar\\tallymar.dsn;MaxBufferSize=2048;MaxScanRows=8;PageTimeout=5;"
              "SafeTransactions=0;Threads=3;UID=admin");
    // Percent signs in a folder name are text, not formats.
    EXPECT_NE(FormatConnectString("C:\\100%s", "x").find("DBQ=C:\\100%s\\x.mdb;"), std::string::npos);
}

TEST(HexText, EncodesUpperCaseAndDecodesBack) {
    const unsigned char bytes[] = {0x00, 0x0F, 0xA5, 0xFF, 0x10};
    EXPECT_EQ(HexEncode(bytes, sizeof bytes), "000FA5FF10");
    EXPECT_EQ(HexEncode(bytes, 0), "");
    EXPECT_EQ(HexDecode("000FA5FF10"), std::vector<unsigned char>(bytes, bytes + sizeof bytes));
    EXPECT_EQ(HexDecode("000fa5ff10"), std::vector<unsigned char>(bytes, bytes + sizeof bytes));
    EXPECT_EQ(HexDecode(""), std::vector<unsigned char>{});
    EXPECT_FALSE(HexDecode("ABC").has_value());
    EXPECT_FALSE(HexDecode("0G").has_value());
    EXPECT_FALSE(HexDecode("0 ").has_value());
}

TEST(SecretText, EncryptedTextReadsBackThroughItsHexForm) {
    const CBlowfish key("Master1");
    const std::string secret = "PACER pass 'quoted'";
    const std::vector<unsigned char> encrypted = EncryptText(key, secret);
    EXPECT_EQ(encrypted.size(), secret.size());
    const std::string stored = HexEncode(encrypted.data(), encrypted.size());
    EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF"), std::string::npos);

    const std::optional<tl::SecretString> back = DecryptHexText(key, stored);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->str(), secret);
    EXPECT_TRUE(EncryptText(key, "").empty());
    EXPECT_FALSE(DecryptHexText(key, "XYZ").has_value());
}

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
