#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

/// The most bytes one download of the setup program takes, before and after inflation (the page
/// size x 16384 with the 4 KiB pages of its computers).
inline constexpr std::uint64_t kMostBytesPerDownload = 4096ull * 16384;

/// What publishing one product file gave.
struct ServedFile {
    std::uint64_t size = 0;       ///< the file as installed
    std::string sha256;           ///< of the file as installed
    std::uint64_t servedSize = 0; ///< what the server sends
    bool compressed = false;      ///< sent as a zlib stream
};

/// Reads a product file once from its descriptor (hashing it and compressing it on the way) and
/// writes what the server sends for it to a new file at servedPath: the zlib stream when that is
/// smaller, else the file's own bytes. An empty file and a file that itself begins with 0x78 0x9C
/// are always sent compressed: the setup program refuses an empty response and would inflate the
/// other. False with error set (the served file may then be partly written; the caller throws its
/// folder away) when the file cannot be read or written or is larger than a download takes.
bool WriteServedFile(int sourceFd, const std::filesystem::path& servedPath, ServedFile& result,
                     std::string& error);
