#pragma once

#include <cstddef>
#include <cstdint>
#include <zlib.h>

/// Sole owner of one zlib inflate stream (RFC 1950: the zlib header, deflate data, the Adler-32
/// trailer), fed piece by piece.
class InflateStream {
public:
    /// Throws std::bad_alloc when zlib cannot allocate its state.
    InflateStream();
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
    ~InflateStream();

    /// Gives the next input; the stream reads it during the following Inflate calls and does not
    /// copy it, so it must stay valid until InputLeft() is 0.
    void SetInput(const std::uint8_t* bytes, std::size_t count);
    std::size_t InputLeft() const { return stream_.avail_in; }

    /// Inflates into out (room bytes, possibly 0) and sets produced. Returns zlib's status:
    /// Z_OK (progress made), Z_STREAM_END (the stream is complete), Z_BUF_ERROR (no progress
    /// possible: more input or more room needed), Z_DATA_ERROR and the other errors.
    int Inflate(std::uint8_t* out, std::size_t room, std::size_t& produced);

private:
    z_stream stream_{};
};
