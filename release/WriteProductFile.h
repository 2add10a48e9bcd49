#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// Writes bytes as the whole new content of a file of the machine through a ProductFileSink
/// (release/ProductFileSink.h): the new file takes the file time (when not negative) and, for a
/// Linux program (an ELF executable or shared object), the execute permission before it is flushed
/// to disk and only then renamed over the file; a failure at any point leaves the old file as it
/// was and no temporary file behind. An existing read-only file or a folder of that name is not
/// replaced (ERROR_ACCESS_DENIED), as on Windows.
///
/// Returns ERROR_SUCCESS or the Windows error code of the failure.
DWORD WriteProductFile(std::string_view path, const std::uint8_t* bytes, std::size_t size,
                       std::int64_t fileTime);

/// True when the bytes begin an ELF executable or shared object.
bool IsElfProgram(const std::uint8_t* bytes, std::size_t size);

/// The text a file error shows to the user, naming the file ("Access to C:\x was denied.").
std::string FileErrorMessage(DWORD error, std::string_view path);
