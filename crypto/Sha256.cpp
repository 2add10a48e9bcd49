#include "crypto/Sha256.h"

#include <openssl/evp.h>
#include <stdexcept>

Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
    if (!context_ || EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1)
        throw std::runtime_error(OpenSslFailure("OpenSSL cannot compute SHA-256 digests"));
}

void Sha256::Update(std::string_view bytes) {
    Update(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void Sha256::Update(const std::uint8_t* bytes, std::size_t count) {
    if (EVP_DigestUpdate(context_.get(), bytes, count) != 1)
        throw std::runtime_error(OpenSslFailure("OpenSSL failed to add bytes to a SHA-256 digest"));
}

std::string Sha256::HexDigest() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context_.get(), digest, &length) != 1)
        throw std::runtime_error(OpenSslFailure("OpenSSL failed to finish a SHA-256 digest"));
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 0x0F];
    }
    return text;
}

std::string Sha256::Of(std::string_view bytes) {
    Sha256 digest;
    digest.Update(bytes);
    return digest.HexDigest();
}
