#pragma once

#include "platform/TextUtil.h"

#include <optional>
#include <string_view>
#include <vector>

class CBlowfish;

/// A copy of the text's characters encrypted with the key; as long as the text. The stored form
/// is its HexEncode text.
std::vector<unsigned char> EncryptText(const CBlowfish& key, std::string_view text);

/// The inverse of HexEncode(EncryptText(key, text)): the secret in clear. Returns nothing when the
/// stored text is not hexadecimal; a wrong key gives wrong text, which cannot be detected here.
std::optional<tl::SecretString> DecryptHexText(const CBlowfish& key, std::string_view hexText);
