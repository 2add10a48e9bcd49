#pragma once

#include <cstdint>
#include <string_view>

/// One range of bytes of a file: its first byte and how many.
struct ByteRange {
    std::uint64_t first = 0;
    std::uint64_t length = 0;
};

enum class RangeRequest {
    Whole,        ///< send the whole file (no Range header, or one the server need not honour)
    Partial,      ///< send the range
    Unsatisfiable ///< the range lies beyond the file: 416
};

/// Reads an HTTP Range header for a file of size bytes. Single byte ranges are honoured: "bytes=a-b"
/// (b clamped to the last byte), "bytes=a-" and the suffix "bytes=-n" (the last n bytes, the whole
/// file when it is shorter). One that starts at or beyond the end, or a suffix of 0 bytes, cannot
/// be satisfied. Several ranges, other units and text that is not a range give the whole file,
/// which a server may always send instead.
RangeRequest ReadRangeHeader(std::string_view header, std::uint64_t size, ByteRange& range);
