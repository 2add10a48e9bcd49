#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Version information of program files: the version resource of Windows programs (32-bit and
// 64-bit PE files) and the version note of our own Linux programs (ElfVersionNote.h).
namespace win {

inline constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;
inline constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
inline constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;

inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BDu;

/// The root value of a version block, as Windows lays it out.
struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS; ///< parts 1 and 2 (high and low 16 bits)
    DWORD dwFileVersionLS; ///< parts 3 and 4
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

/// Reads the version information block (VS_VERSIONINFO) of a file of the machine: the version
/// resource of a PE file, or a block made from the version note of an ELF file. False with the
/// last error set: the file's open error, ERROR_BAD_EXE_FORMAT for a file that is neither PE nor
/// ELF or whose headers are damaged, ERROR_RESOURCE_DATA_NOT_FOUND for a PE file without
/// resources, ERROR_RESOURCE_TYPE_NOT_FOUND when there is no version resource or note.
bool GetFileVersionInfo(std::string_view path, std::vector<std::uint8_t>& block);

/// As GetFileVersionInfo, for a host file the caller has opened (tools that read files outside the
/// machine, such as the publishing tool). The same errors, but for the open error.
bool GetFileVersionInfoOfDescriptor(int fd, std::vector<std::uint8_t>& block);

/// Queries a version block. Only the root ("\") is supported: it copies the fixed file
/// information. False (ERROR_RESOURCE_TYPE_NOT_FOUND) when the block holds no valid fixed
/// information (missing, too short or without its signature) or for any other sub-block.
bool VerQueryValue(const std::vector<std::uint8_t>& block, std::string_view subBlock, VS_FIXEDFILEINFO& info);

} // namespace win
