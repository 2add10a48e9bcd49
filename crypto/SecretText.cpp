#include "crypto/SecretText.h"

#include "crypto/CBlowfish.h"
#include "crypto/HexText.h"
#include "crypto/SecretBytes.h"

std::vector<unsigned char> EncryptText(const CBlowfish& key, std::string_view text) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    key.EncryptBuffer(bytes.data(), bytes.size());
    return bytes;
}

std::optional<tl::SecretString> DecryptHexText(const CBlowfish& key, std::string_view hexText) {
    std::optional<std::vector<unsigned char>> bytes = HexDecode(hexText);
    if (!bytes)
        return std::nullopt;
    key.DecryptBuffer(bytes->data(), bytes->size());
    tl::SecretString text;
    text.str().assign(bytes->begin(), bytes->end());
    tl::WipeBytes(bytes->data(), bytes->size());
    return text;
}
