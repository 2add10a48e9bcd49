#pragma once

#include "crypto/OpenSslOwners.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// SHA-256 of a byte stream, through OpenSSL's EVP interface. Throws std::runtime_error when
/// OpenSSL cannot set up or run the digest (out of memory, a provider missing).
class Sha256 {
public:
    Sha256();

    /// Adds bytes to the digest.
    void Update(std::string_view bytes);
    void Update(const std::uint8_t* bytes, std::size_t count);
    /// Finishes the digest: 64 lower-case hexadecimal digits. The object is then spent.
    std::string HexDigest();

    /// The digest of a whole text.
    static std::string Of(std::string_view bytes);

private:
    EvpMdCtx context_;
};
