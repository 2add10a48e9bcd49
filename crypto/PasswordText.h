#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CBlowfish;
class RandomByteSource;

/// The slot size U of the password text for a firm name of the given length: a multiple of 32
/// that holds 4 random bytes and the name.
std::size_t PasswordSlotSize(std::size_t firmNameLength);

/// The text stored in the firm's UserName.Password: the hexadecimal form of five slots of U bytes.
/// Slot 0 holds 4 random bytes and the firm name under the master key; slots 1 and 2 the same
/// under the attorney and staff passwords; slots 3 and 4 hold 4 random bytes, the master password
/// (cut to U - 4 characters) and its zero byte when it fits, under the attorney and staff
/// passwords. A slot whose password is empty stays all zero bytes; every other unused byte is
/// random fill. The working copies are wiped with 0xCC. Never fails, except that the random
/// source may throw.
std::string MakePasswordText(std::string_view firmName, const CBlowfish& masterKey,
                             std::string_view masterPassword, std::string_view attorneyPassword,
                             std::string_view staffPassword, RandomByteSource& random);
