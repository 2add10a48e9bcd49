#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

/// The password cipher: standard Blowfish (16 rounds, the key schedule and tables of its
/// publication) in the program's own feedback mode, which every stored secret uses.
///
/// Mode: with E the block function and Z the zero block, the first 8-byte block is XORed with
/// E(Z) and every further block with E(previous plain block); a tail of fewer than 8 bytes is
/// XORed with the leading bytes of E(last full plain block), or of E(Z) when there is none. The
/// output is as long as the input; nothing is padded.
class CBlowfish {
public:
    /// Keys the cipher. A key shorter than 4 bytes is padded with zero bytes to 4 (an empty key is
    /// four zero bytes); key bytes past the 72 that the P-array takes are not used. Never fails.
    CBlowfish(const void* key, std::size_t length);
    /// Keys the cipher with the bytes of a text (a password), as the constructor above.
    explicit CBlowfish(std::string_view key) : CBlowfish(key.data(), key.size()) {}
    /// Wipes the key-dependent tables with 0xCC.
    ~CBlowfish();
    CBlowfish(const CBlowfish&) = delete;
    CBlowfish& operator=(const CBlowfish&) = delete;

    /// The block function on one block given as its two halves (bytes 0-3 big-endian form left).
    void EncryptBlock(std::uint32_t& left, std::uint32_t& right) const;
    /// The inverse of EncryptBlock.
    void DecryptBlock(std::uint32_t& left, std::uint32_t& right) const;

    /// Encrypts a buffer of any length in place in the feedback mode above.
    void EncryptBuffer(unsigned char* buffer, std::size_t length) const;
    /// Decrypts, in place, a buffer that EncryptBuffer produced with the same key.
    void DecryptBuffer(unsigned char* buffer, std::size_t length) const;

private:
    std::uint32_t F(std::uint32_t x) const {
        return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
    }
    void KeySchedule(const unsigned char* key, std::size_t length);
    void ApplyFeedback(unsigned char* buffer, std::size_t length, bool decrypt) const;

    std::uint32_t p_[18];
    std::uint32_t s_[4][256];
};
