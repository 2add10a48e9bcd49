#pragma once

#include <cstddef>
#include <cstdint>

/// Where the bytes of one transfer go, chunk by chunk, as they arrive: the seam between the
/// transfer and what keeps its bytes (a buffer in memory, a file being written, and in between
/// the zlib decoder and the check against the manifest). A sink that refuses a chunk ends the
/// transfer and keeps the reason itself.
class TransferSink {
public:
    virtual ~TransferSink() = default;

    /// Takes the next count bytes (count > 0). False ends the transfer; the sink's owner asks the
    /// sink why.
    virtual bool Accept(const std::uint8_t* bytes, std::size_t count) = 0;

    /// Throws away everything taken so far, for a transfer that starts over from the first byte
    /// (the server could not resume it); the next Accept gets the first byte again. A sink passes
    /// the restart on to the sink after it. False when it cannot (then as a refused chunk).
    virtual bool Restart() = 0;
};
