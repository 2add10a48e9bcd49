#pragma once

#include "crypto/Sha256.h"
#include "release/FileCheck.h"
#include "release/TransferSink.h"

#include <cstdint>
#include <optional>
#include <string>

/// Passes a product file on to the next sink while checking it against what the manifest says:
/// it counts the bytes and, when a Sha256 is given, digests them as they go. A piece that would
/// take the file past the manifest's Size is refused, so a server that sends more stops being
/// read there.
class VerifyingSink final : public TransferSink {
public:
    VerifyingSink(TransferSink& next, const FileCheck& check);

    bool Accept(const std::uint8_t* bytes, std::size_t count) override;
    bool Restart() override;

    /// A file that is not what the manifest says: the texts of the failed check.
    struct Mismatch {
        std::string expected;
        std::string got;
    };

    /// True when a piece was refused for passing the Size.
    bool Overran() const { return overran_; }
    /// After the whole file has passed (or the transfer was refused for an overrun): nullopt
    /// when the file is what the manifest says, else the failed check ("1200 bytes" against
    /// "1201 bytes", "more than 1200 bytes", "SHA-256 <hex>" against "SHA-256 <hex>").
    std::optional<Mismatch> Verify();

private:
    void StartDigest();

    TransferSink& next_;
    FileCheck check_;
    std::optional<Sha256> digest_;
    bool digestFailed_ = false;
    std::uint64_t count_ = 0;
    bool overran_ = false;
};
