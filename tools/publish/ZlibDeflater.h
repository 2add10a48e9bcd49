#pragma once

#include <functional>
#include <string_view>
#include <zlib.h>

/// Compresses a stream piece by piece into one zlib stream (RFC 1950) at zlib's default level, as
/// its one-call compress does, so that the stream begins with the bytes 0x78 0x9C that the setup
/// program takes for a compressed transfer. Owns the z_stream.
class ZlibDeflater {
public:
    /// Where compressed bytes go; returns 0, or an errno value that ends the compression.
    using Sink = std::function<int(std::string_view compressed)>;

    /// Throws std::runtime_error when zlib cannot be set up (out of memory).
    ZlibDeflater();
    ZlibDeflater(const ZlibDeflater&) = delete;
    ZlibDeflater& operator=(const ZlibDeflater&) = delete;
    ~ZlibDeflater();

    /// Compresses input and hands every finished piece of output to sink; finish ends the stream
    /// after input. Returns 0 or the sink's error.
    int Deflate(std::string_view input, bool finish, const Sink& sink);

private:
    z_stream stream_{};
};
