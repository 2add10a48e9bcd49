#pragma once

#include <string>

namespace tl {

/// A salted one-way hash of a password in the crypt(5) form "$y$..." (yescrypt, libcrypt's
/// default), from which the password cannot be had back. "" when libcrypt cannot make one.
std::string HashPassword(const std::string& password);

/// True when password is the one hash was made from.
bool PasswordMatchesHash(const std::string& password, const std::string& hash);

} // namespace tl
