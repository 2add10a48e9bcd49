#include "release/VerifyingSink.h"

#include "platform/Format.h"

#include <exception>

namespace {

std::string Bytes(std::uint64_t count) {
    return tl::Format("%llu bytes", static_cast<unsigned long long>(count));
}

} // namespace

VerifyingSink::VerifyingSink(TransferSink& next, const FileCheck& check) : next_(next), check_(check) {
    StartDigest();
}

// OpenSSL failing to digest (out of memory) leaves the file unverified, which fails it: the
// exception must not cross the transfer library's callbacks.
void VerifyingSink::StartDigest() {
    digest_.reset();
    digestFailed_ = false;
    if (check_.sha256.empty())
        return;
    try {
        digest_.emplace();
    } catch (const std::exception&) {
        digestFailed_ = true;
    }
}

bool VerifyingSink::Accept(const std::uint8_t* bytes, std::size_t count) {
    if (check_.size && count > *check_.size - count_) {
        overran_ = true;
        return false;
    }
    count_ += count;
    try {
        if (digest_)
            digest_->Update(bytes, count);
    } catch (const std::exception&) {
        digest_.reset();
        digestFailed_ = true;
    }
    return next_.Accept(bytes, count);
}

bool VerifyingSink::Restart() {
    count_ = 0;
    overran_ = false;
    StartDigest();
    return next_.Restart();
}

std::optional<VerifyingSink::Mismatch> VerifyingSink::Verify() {
    if (overran_)
        return Mismatch{Bytes(*check_.size), "more than " + Bytes(*check_.size)};
    if (check_.size && count_ != *check_.size)
        return Mismatch{Bytes(*check_.size), Bytes(count_)};
    if (check_.sha256.empty())
        return std::nullopt;
    std::string got = "no digest";
    try {
        if (digest_ && !digestFailed_)
            got = digest_->HexDigest();
    } catch (const std::exception&) {
    }
    digest_.reset();
    if (got == check_.sha256)
        return std::nullopt;
    return Mismatch{"SHA-256 " + check_.sha256, "SHA-256 " + got};
}
