#pragma once

#include <memory>
#include <string>

// The one owner of each OpenSSL object the crypto folder uses. The structures are declared here
// by their tags so that users of the owners need not see OpenSSL's headers.
struct bio_st;
struct evp_md_ctx_st;
struct evp_pkey_ctx_st;
struct evp_pkey_st;

struct BioFree {
    void operator()(bio_st* bio) const;
};
struct EvpMdCtxFree {
    void operator()(evp_md_ctx_st* context) const;
};
struct EvpPkeyCtxFree {
    void operator()(evp_pkey_ctx_st* context) const;
};
struct EvpPkeyFree {
    void operator()(evp_pkey_st* key) const;
};

using Bio = std::unique_ptr<bio_st, BioFree>;
using EvpMdCtx = std::unique_ptr<evp_md_ctx_st, EvpMdCtxFree>;
using EvpPkeyCtx = std::unique_ptr<evp_pkey_ctx_st, EvpPkeyCtxFree>;
using EvpPkey = std::unique_ptr<evp_pkey_st, EvpPkeyFree>;

/// "<what>: <OpenSSL's reason for its earliest queued error>" (or just what when the queue is
/// empty), and empties this thread's error queue, so that a stale error never reaches the next
/// user of the library (the transfer layer's TLS among them).
std::string OpenSslFailure(const std::string& what);

/// Empties this thread's OpenSSL error queue after a failure that is expected (a wrong signature,
/// a text that is not a key).
void ClearOpenSslErrors();
