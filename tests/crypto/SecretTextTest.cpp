#include "crypto/SecretText.h"

#include "crypto/CBlowfish.h"
#include "crypto/HexText.h"

#include <gtest/gtest.h>

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
