#include "tools/publish/Sha256.h"

#include <openssl/evp.h>
#include <stdexcept>

void Sha256::ContextFree::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
    if (!context_ || EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("OpenSSL cannot compute SHA-256 digests");
}

void Sha256::Update(std::string_view bytes) {
    if (EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()) != 1)
        throw std::runtime_error("OpenSSL failed to add bytes to a SHA-256 digest");
}

std::string Sha256::HexDigest() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context_.get(), digest, &length) != 1)
        throw std::runtime_error("OpenSSL failed to finish a SHA-256 digest");
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
