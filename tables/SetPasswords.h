#pragma once

#include <string>
#include <string_view>

class CBlowfish;
class RandomByteSource;

/// Stores the firm's name and its password text (five slots under the master, attorney and staff
/// passwords) in the firm's UserName row of theMainDb, which must be open.
///
/// The existing row is edited in a transaction. When there is no row, or the engine refuses the
/// edit, the row is written anew in a second transaction: every UserName row is replaced by one
/// holding the firm name, the password text and the address the old row had (empty without one).
/// Returns false when a database failure stopped the work; errorMessage then holds the engine's
/// text, at most 511 characters, for the caller to show, and nothing was changed.
bool SetPasswords(std::string_view firmName, const CBlowfish& masterKey, std::string_view masterPassword,
                  std::string_view attorneyPassword, std::string_view staffPassword,
                  std::string& errorMessage);

/// As above with the random bytes of the slots taken from random.
bool SetPasswords(std::string_view firmName, const CBlowfish& masterKey, std::string_view masterPassword,
                  std::string_view attorneyPassword, std::string_view staffPassword, RandomByteSource& random,
                  std::string& errorMessage);
