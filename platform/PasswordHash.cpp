#include "platform/PasswordHash.h"

#include <crypt.h>
#include <cstring>
#include <memory>

namespace tl {

namespace {

// libcrypt's work area holds the password's traces; it is wiped before it is released.
struct CryptArea {
    crypt_data data{};
    ~CryptArea() { std::memset(static_cast<void*>(&data), 0xCC, sizeof data); }
};

std::string Crypt(const std::string& password, const char* setting) {
    auto area = std::make_unique<CryptArea>();
    const char* hash = crypt_rn(password.c_str(), setting, &area->data, sizeof area->data);
    // A failing crypt_rn returns null or a string starting with "*".
    if (hash == nullptr || hash[0] == '*')
        return {};
    return hash;
}

} // namespace

std::string HashPassword(const std::string& password) {
    char setting[CRYPT_GENSALT_OUTPUT_SIZE];
    // No prefix: libcrypt's default method (yescrypt) with a salt from the system's random source.
    if (crypt_gensalt_rn(nullptr, 0, nullptr, 0, setting, sizeof setting) == nullptr)
        return {};
    return Crypt(password, setting);
}

bool PasswordMatchesHash(const std::string& password, const std::string& hash) {
    if (hash.empty())
        return false;
    const std::string again = Crypt(password, hash.c_str());
    return !again.empty() && again == hash;
}

} // namespace tl
