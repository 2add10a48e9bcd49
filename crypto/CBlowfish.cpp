#include "crypto/CBlowfish.h"

#include "crypto/BlowfishTables.h"
#include "crypto/SecretBytes.h"

#include <cstring>

namespace {

constexpr std::size_t kBlockSize = 8;
constexpr std::size_t kShortestKey = 4;

std::uint32_t ReadBigEndian(const unsigned char* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

void WriteBigEndian(std::uint32_t word, unsigned char* bytes) {
    bytes[0] = static_cast<unsigned char>(word >> 24);
    bytes[1] = static_cast<unsigned char>(word >> 16);
    bytes[2] = static_cast<unsigned char>(word >> 8);
    bytes[3] = static_cast<unsigned char>(word);
}

} // namespace

CBlowfish::CBlowfish(const void* key, std::size_t length) {
    std::memcpy(p_, kBlowfishInitialP, sizeof p_);
    std::memcpy(s_, kBlowfishInitialS, sizeof s_);
    const auto* keyBytes = static_cast<const unsigned char*>(key);
    if (length >= kShortestKey) {
        KeySchedule(keyBytes, length);
        return;
    }
    // A short key is not repeated as the published cipher would: it is padded with zero bytes,
    // and stored secrets depend on that.
    unsigned char padded[kShortestKey] = {};
    if (length > 0)
        std::memcpy(padded, keyBytes, length);
    KeySchedule(padded, kShortestKey);
    tl::WipeBytes(padded, sizeof padded);
}

CBlowfish::~CBlowfish() {
    tl::WipeBytes(p_, sizeof p_);
    tl::WipeBytes(s_, sizeof s_);
}

void CBlowfish::KeySchedule(const unsigned char* key, std::size_t length) {
    std::size_t next = 0;
    for (std::uint32_t& entry : p_) {
        std::uint32_t word = 0;
        for (int i = 0; i < 4; ++i) {
            word = (word << 8) | key[next];
            next = (next + 1) % length;
        }
        entry ^= word;
    }
    // Each encryption starts from the previous result, beginning with the zero block.
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    for (std::size_t i = 0; i < 18; i += 2) {
        EncryptBlock(left, right);
        p_[i] = left;
        p_[i + 1] = right;
    }
    for (auto& box : s_) {
        for (std::size_t i = 0; i < 256; i += 2) {
            EncryptBlock(left, right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

void CBlowfish::EncryptBlock(std::uint32_t& left, std::uint32_t& right) const {
    // The 16 rounds unrolled, two per line; the halves trade places implicitly.
    std::uint32_t l = left ^ p_[0];
    std::uint32_t r = right;
    r ^= F(l) ^ p_[1];
    l ^= F(r) ^ p_[2];
    r ^= F(l) ^ p_[3];
    l ^= F(r) ^ p_[4];
    r ^= F(l) ^ p_[5];
    l ^= F(r) ^ p_[6];
    r ^= F(l) ^ p_[7];
    l ^= F(r) ^ p_[8];
    r ^= F(l) ^ p_[9];
    l ^= F(r) ^ p_[10];
    r ^= F(l) ^ p_[11];
    l ^= F(r) ^ p_[12];
    r ^= F(l) ^ p_[13];
    l ^= F(r) ^ p_[14];
    r ^= F(l) ^ p_[15];
    l ^= F(r) ^ p_[16];
    left = r ^ p_[17];
    right = l;
}

void CBlowfish::DecryptBlock(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left ^ p_[17];
    std::uint32_t r = right;
    r ^= F(l) ^ p_[16];
    l ^= F(r) ^ p_[15];
    r ^= F(l) ^ p_[14];
    l ^= F(r) ^ p_[13];
    r ^= F(l) ^ p_[12];
    l ^= F(r) ^ p_[11];
    r ^= F(l) ^ p_[10];
    l ^= F(r) ^ p_[9];
    r ^= F(l) ^ p_[8];
    l ^= F(r) ^ p_[7];
    r ^= F(l) ^ p_[6];
    l ^= F(r) ^ p_[5];
    r ^= F(l) ^ p_[4];
    l ^= F(r) ^ p_[3];
    r ^= F(l) ^ p_[2];
    l ^= F(r) ^ p_[1];
    left = r ^ p_[0];
    right = l;
}

void CBlowfish::EncryptBuffer(unsigned char* buffer, std::size_t length) const {
    ApplyFeedback(buffer, length, false);
}

void CBlowfish::DecryptBuffer(unsigned char* buffer, std::size_t length) const {
    ApplyFeedback(buffer, length, true);
}

// Both directions XOR a key stream made from the plain text: when encrypting the plain block is
// read before it is overwritten, when decrypting it is the block just recovered.
void CBlowfish::ApplyFeedback(unsigned char* buffer, std::size_t length, bool decrypt) const {
    std::uint32_t feedLeft = 0;
    std::uint32_t feedRight = 0;
    const std::size_t fullLength = length - length % kBlockSize;
    for (std::size_t offset = 0; offset < fullLength; offset += kBlockSize) {
        unsigned char* block = buffer + offset;
        std::uint32_t streamLeft = feedLeft;
        std::uint32_t streamRight = feedRight;
        EncryptBlock(streamLeft, streamRight);
        const std::uint32_t inLeft = ReadBigEndian(block);
        const std::uint32_t inRight = ReadBigEndian(block + 4);
        const std::uint32_t outLeft = inLeft ^ streamLeft;
        const std::uint32_t outRight = inRight ^ streamRight;
        WriteBigEndian(outLeft, block);
        WriteBigEndian(outRight, block + 4);
        feedLeft = decrypt ? outLeft : inLeft;
        feedRight = decrypt ? outRight : inRight;
    }
    if (fullLength == length)
        return;
    EncryptBlock(feedLeft, feedRight);
    unsigned char stream[kBlockSize];
    WriteBigEndian(feedLeft, stream);
    WriteBigEndian(feedRight, stream + 4);
    for (std::size_t i = fullLength; i < length; ++i)
        buffer[i] ^= stream[i - fullLength];
}
