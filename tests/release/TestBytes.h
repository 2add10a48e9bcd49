#pragma once

#include <cstdint>
#include <string>
#include <zlib.h>

namespace tltest {

/// Bytes that deflate hardly shrinks (xorshift noise), the same for the same size.
inline std::string Noise(std::size_t size) {
    std::string data(size, '\0');
    std::uint32_t state = 2463534242u;
    for (char& byte : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state & 0xFF);
    }
    return data;
}

/// The zlib stream of data at the default level (it begins with 0x78 0x9C).
inline std::string Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
             static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

} // namespace tltest
