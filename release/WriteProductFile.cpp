#include "release/WriteProductFile.h"

#include "platform/Format.h"
#include "release/ProductFileSink.h"

#include <cstring>
#include <string>

namespace {

constexpr std::uint16_t kElfExecutable = 2; // ET_EXEC
constexpr std::uint16_t kElfShared = 3;     // ET_DYN: shared objects and position-independent programs

} // namespace

bool IsElfProgram(const std::uint8_t* bytes, std::size_t size) {
    if (size < 18 || std::memcmp(bytes,
                                 "\x7F"
                                 "ELF",
                                 4) != 0)
        return false;
    const bool bigEndian = bytes[5] == 2;
    const std::uint16_t type = bigEndian ? static_cast<std::uint16_t>(bytes[16] << 8 | bytes[17])
                                         : static_cast<std::uint16_t>(bytes[17] << 8 | bytes[16]);
    return type == kElfExecutable || type == kElfShared;
}

DWORD WriteProductFile(std::string_view path, const std::uint8_t* bytes, std::size_t size,
                       std::int64_t fileTime) {
    ProductFileSink file(path, fileTime);
    if (size != 0 && !file.Accept(bytes, size))
        return file.Error();
    return file.Commit();
}

std::string FileErrorMessage(DWORD error, std::string_view path) {
    const std::string name(path);
    switch (error) {
    case win::ERROR_FILE_NOT_FOUND:
        return tl::Format("%s was not found.", name.c_str());
    case win::ERROR_PATH_NOT_FOUND:
    case win::ERROR_INVALID_NAME:
    case win::ERROR_BAD_NETPATH:
    case win::ERROR_BAD_NET_NAME:
        return tl::Format("%s contains an incorrect path.", name.c_str());
    case win::ERROR_ACCESS_DENIED:
        return tl::Format("Access to %s was denied.", name.c_str());
    case win::ERROR_SHARING_VIOLATION:
        return tl::Format("A sharing violation occurred while accessing %s.", name.c_str());
    case win::ERROR_LOCK_VIOLATION:
        return tl::Format("A locking violation occurred while accessing %s.", name.c_str());
    case win::ERROR_DISK_FULL:
        return tl::Format("Disk full while accessing %s.", name.c_str());
    case win::ERROR_IO_DEVICE:
        return tl::Format("A hardware I/O error was reported while accessing %s.", name.c_str());
    default:
        return tl::Format("An unexpected error occurred while accessing %s.", name.c_str());
    }
}
