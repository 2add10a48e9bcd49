#include "crypto/CBlowfish.h"

#include "crypto/HexText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(std::string_view hex) {
    auto bytes = HexDecode(hex);
    EXPECT_TRUE(bytes.has_value()) << hex;
    return bytes.value_or(std::vector<unsigned char>{});
}

std::uint32_t Half(const std::vector<unsigned char>& block, std::size_t at) {
    return std::uint32_t{block[at]} << 24 | std::uint32_t{block[at + 1]} << 16 |
           std::uint32_t{block[at + 2]} << 8 | std::uint32_t{block[at + 3]};
}

// Encrypts one block given in hexadecimal and returns the result in hexadecimal.
std::string EncryptHexBlock(const CBlowfish& cipher, std::string_view plainHex) {
    const std::vector<unsigned char> plain = Bytes(plainHex);
    std::uint32_t left = Half(plain, 0);
    std::uint32_t right = Half(plain, 4);
    cipher.EncryptBlock(left, right);
    const unsigned char out[8] = {
        static_cast<unsigned char>(left >> 24),  static_cast<unsigned char>(left >> 16),
        static_cast<unsigned char>(left >> 8),   static_cast<unsigned char>(left),
        static_cast<unsigned char>(right >> 24), static_cast<unsigned char>(right >> 16),
        static_cast<unsigned char>(right >> 8),  static_cast<unsigned char>(right)};
    return HexEncode(out, sizeof out);
}

struct BlockVector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// The published test vectors of the cipher (64-bit keys).
constexpr BlockVector kPublishedVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

// The published variable-key vectors: the first n bytes of kLongKey encrypt kKeyTestPlain. The
// cases n = 1 to 3 assume a short key is repeated; this cipher pads it with zero bytes instead,
// so those three rows hold the result for the key padded to 4 bytes (computed with an
// independent implementation keyed with the padded key).
constexpr const char* kLongKey = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
constexpr const char* kKeyTestPlain = "FEDCBA9876543210";
constexpr const char* kKeyLengthCiphers[24] = {
    "BB4499842FD564F9", "24E70CC717F56797", "F36DD86B419F734D", "BE1E639408640F05", "B39E44481BDB1E6E",
    "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82", "15750E7A4F4EC577", "122BA70B3AB64AE0",
    "3A833C9AFFC537F6", "9409DA87A90F6BF2", "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F",
    "93142887EE3BE15C", "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
    "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
};

struct ModeVector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// The feedback mode over whole blocks and tails, computed with an independent implementation.
constexpr ModeVector kModeVectors[] = {
    {"master", "", ""},
    {"master", "abc", "F25F28"},
    {"master", "Tallymar", "C75C274D35E95FBA"},
    {"master", "Tallymar Setup 2004 pw!", "C75C274D35E95FBADA359EEDF1993F1FC9367A9BD4B524"},
    {"A", "PACER password", "2088633FF081266A402C5348760A"},
};

} // namespace

TEST(CBlowfish, MatchesThePublishedVectors) {
    for (const BlockVector& vector : kPublishedVectors) {
        const std::vector<unsigned char> key = Bytes(vector.key);
        const CBlowfish cipher(key.data(), key.size());
        EXPECT_EQ(EncryptHexBlock(cipher, vector.plain), vector.cipher) << "key " << vector.key;

        const std::vector<unsigned char> encrypted = Bytes(vector.cipher);
        std::uint32_t left = Half(encrypted, 0);
        std::uint32_t right = Half(encrypted, 4);
        cipher.DecryptBlock(left, right);
        const std::vector<unsigned char> plain = Bytes(vector.plain);
        EXPECT_EQ(left, Half(plain, 0)) << "key " << vector.key;
        EXPECT_EQ(right, Half(plain, 4)) << "key " << vector.key;
    }
}

TEST(CBlowfish, MatchesTheVariableKeyVectorsWithShortKeysPaddedByZeroBytes) {
    const std::vector<unsigned char> longKey = Bytes(kLongKey);
    for (std::size_t length = 1; length <= longKey.size(); ++length) {
        const CBlowfish cipher(longKey.data(), length);
        EXPECT_EQ(EncryptHexBlock(cipher, kKeyTestPlain), kKeyLengthCiphers[length - 1])
            << "length " << length;
    }
}

TEST(CBlowfish, ShortKeyEqualsTheKeyFollowedByZeroBytes) {
    const unsigned char padded[4] = {'A', 0, 0, 0};
    EXPECT_EQ(EncryptHexBlock(CBlowfish("A"), "0123456789ABCDEF"),
              EncryptHexBlock(CBlowfish(padded, 4), "0123456789ABCDEF"));
    const unsigned char zeros[4] = {};
    EXPECT_EQ(EncryptHexBlock(CBlowfish(""), "0123456789ABCDEF"),
              EncryptHexBlock(CBlowfish(zeros, 4), "0123456789ABCDEF"));
    // A two-byte key is not its own repetition.
    EXPECT_NE(EncryptHexBlock(CBlowfish("AB"), "0123456789ABCDEF"),
              EncryptHexBlock(CBlowfish("ABAB"), "0123456789ABCDEF"));
}

TEST(CBlowfish, KeyBytesPast72AreNotUsed) {
    std::string key;
    for (int i = 0; i < 80; ++i)
        key.push_back(static_cast<char>('0' + i % 75));
    const std::string block = "0011223344556677";
    EXPECT_EQ(EncryptHexBlock(CBlowfish(key), block), EncryptHexBlock(CBlowfish(key.substr(0, 72)), block));
    EXPECT_NE(EncryptHexBlock(CBlowfish(key.substr(0, 72)), block),
              EncryptHexBlock(CBlowfish(key.substr(0, 71)), block));
}

TEST(CBlowfish, FeedbackModeMatchesKnownAnswers) {
    for (const ModeVector& vector : kModeVectors) {
        const CBlowfish cipher(vector.key);
        std::vector<unsigned char> buffer(vector.plain, vector.plain + std::string_view(vector.plain).size());
        cipher.EncryptBuffer(buffer.data(), buffer.size());
        EXPECT_EQ(HexEncode(buffer.data(), buffer.size()), vector.cipher) << vector.plain;
        cipher.DecryptBuffer(buffer.data(), buffer.size());
        EXPECT_EQ(std::string(buffer.begin(), buffer.end()), vector.plain);
    }
}

TEST(CBlowfish, DecryptUndoesEncryptForEveryLengthUpTo100) {
    const std::string keys[] = {"", "x", "master", std::string(56, 'k'), std::string(100, '\xA5')};
    for (const std::string& key : keys) {
        const CBlowfish cipher(key);
        for (std::size_t length = 0; length <= 100; ++length) {
            std::vector<unsigned char> plain(length);
            for (std::size_t i = 0; i < length; ++i)
                plain[i] = static_cast<unsigned char>(i * 7 + length);
            std::vector<unsigned char> buffer = plain;
            cipher.EncryptBuffer(buffer.data(), buffer.size());
            if (length >= 8) {
                EXPECT_NE(buffer, plain) << "key length " << key.size() << ", length " << length;
            }
            cipher.DecryptBuffer(buffer.data(), buffer.size());
            EXPECT_EQ(buffer, plain) << "key length " << key.size() << ", length " << length;
        }
    }
}
