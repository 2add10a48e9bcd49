#include "tools/publish/ZlibDeflater.h"

#include <stdexcept>

ZlibDeflater::ZlibDeflater() {
    if (deflateInit(&stream_, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib cannot set up a compression stream");
}

ZlibDeflater::~ZlibDeflater() {
    deflateEnd(&stream_);
}

int ZlibDeflater::Deflate(std::string_view input, bool finish, const Sink& sink) {
    // zlib does not write through next_in; its interface merely lacks the const.
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream_.avail_in = static_cast<uInt>(input.size());
    char output[64 * 1024];
    int status = Z_OK;
    do {
        stream_.next_out = reinterpret_cast<Bytef*>(output);
        stream_.avail_out = sizeof output;
        status = deflate(&stream_, finish ? Z_FINISH : Z_NO_FLUSH);
        if (status == Z_STREAM_ERROR)
            throw std::runtime_error("zlib compression stream is damaged");
        const std::size_t produced = sizeof output - stream_.avail_out;
        if (produced > 0) {
            if (const int error = sink(std::string_view(output, produced)); error != 0)
                return error;
        }
    } while (stream_.avail_out == 0 || (finish && status != Z_STREAM_END));
    return 0;
}
