#pragma once

#include <cstddef>

/// A source of the random bytes that pad the password slots. Every byte is 1 to 255, never 0,
/// so that a reader of a slot never mistakes random fill for the end of a text.
class RandomByteSource {
public:
    virtual ~RandomByteSource() = default;
    /// The next byte, 1 to 255.
    virtual unsigned char NextByte() = 0;
};

/// Bytes from the system's secure random source (getrandom), zero bytes rejected, so that every
/// value from 1 to 255 is equally likely.
class SystemRandomBytes final : public RandomByteSource {
public:
    SystemRandomBytes() = default;
    SystemRandomBytes(const SystemRandomBytes&) = delete;
    SystemRandomBytes& operator=(const SystemRandomBytes&) = delete;
    /// Wipes the unused bytes with 0xCC.
    ~SystemRandomBytes() override;

    /// Throws std::system_error when the system's random source cannot be read.
    unsigned char NextByte() override;

private:
    void Refill();

    unsigned char pool_[64] = {};
    std::size_t next_ = sizeof pool_;
};
