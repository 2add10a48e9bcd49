#include "release/InflateStream.h"

#include <climits>
#include <new>

InflateStream::InflateStream() {
    if (inflateInit(&stream_) != Z_OK)
        throw std::bad_alloc();
}

InflateStream::~InflateStream() {
    inflateEnd(&stream_);
}

void InflateStream::SetInput(const std::uint8_t* bytes, std::size_t count) {
    // zlib counts in uInt; the transfer's chunks are far smaller.
    stream_.next_in = const_cast<Bytef*>(bytes);
    stream_.avail_in = static_cast<uInt>(count < UINT_MAX ? count : UINT_MAX);
}

int InflateStream::Inflate(std::uint8_t* out, std::size_t room, std::size_t& produced) {
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(room < UINT_MAX ? room : UINT_MAX);
    const uInt before = stream_.avail_out;
    const int status = inflate(&stream_, Z_NO_FLUSH);
    produced = before - stream_.avail_out;
    return status;
}
