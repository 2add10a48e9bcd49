#include "crypto/OpenSslOwners.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>

void BioFree::operator()(bio_st* bio) const {
    BIO_free(bio);
}

void EvpMdCtxFree::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

void EvpPkeyCtxFree::operator()(evp_pkey_ctx_st* context) const {
    EVP_PKEY_CTX_free(context);
}

void EvpPkeyFree::operator()(evp_pkey_st* key) const {
    EVP_PKEY_free(key);
}

std::string OpenSslFailure(const std::string& what) {
    const unsigned long code = ERR_peek_error();
    ClearOpenSslErrors();
    if (code == 0)
        return what;
    const char* reason = ERR_reason_error_string(code);
    return what + ": " + (reason != nullptr ? reason : "error " + std::to_string(code));
}

void ClearOpenSslErrors() {
    ERR_clear_error();
}
