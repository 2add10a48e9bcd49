#pragma once

#include <cstddef>
#include <string_view>

/// The master password has at least this many characters.
inline constexpr std::size_t kMinimumMasterPasswordLength = 8;

/// What keeps the firm-name page's Next disabled, the first rule broken in this order.
enum class FirmNameProblem {
    None,
    EmptyFirmName,              ///< the firm name is empty
    PasswordTooShort,           ///< fewer than kMinimumMasterPasswordLength characters
    PasswordLongerThanFirmName, ///< the password has more characters than the firm name
    RetypeDiffers,              ///< the retyped password is not exactly the password
};

/// The firm-name page's rule for Next: a firm name, a master password of 8 characters or more and
/// no longer than the firm name, retyped exactly (case-sensitive). Texts are UTF-8; lengths count
/// characters, not bytes. Never fails.
FirmNameProblem CheckFirmName(std::string_view firmName, std::string_view password, std::string_view retyped);

/// The number of characters of UTF-8 text: the bytes that do not continue a character.
std::size_t CharacterCount(std::string_view utf8);
