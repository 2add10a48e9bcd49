#pragma once

#include <cstddef>
#include <vector>

namespace tl {

/// Overwrites a buffer that held a secret with 0xCC; the stores are not optimised away.
inline void WipeBytes(void* bytes, std::size_t length) {
    volatile unsigned char* target = static_cast<volatile unsigned char*>(bytes);
    for (std::size_t i = 0; i < length; ++i)
        target[i] = 0xCC;
}

/// A byte buffer for secrets in clear: wiped with 0xCC before its storage is released.
class SecretBytes {
public:
    explicit SecretBytes(std::size_t length) : bytes_(length, 0) {}
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;
    ~SecretBytes() { WipeBytes(bytes_.data(), bytes_.size()); }

    unsigned char* data() { return bytes_.data(); }
    const unsigned char* data() const { return bytes_.data(); }
    std::size_t size() const { return bytes_.size(); }
    unsigned char& operator[](std::size_t i) { return bytes_[i]; }
    unsigned char operator[](std::size_t i) const { return bytes_[i]; }

private:
    std::vector<unsigned char> bytes_;
};

} // namespace tl
