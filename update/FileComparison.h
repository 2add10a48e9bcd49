#pragma once

#include "platform/FileTime.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class XSupportFile;

/// Four version parts, most significant first.
using VersionParts = std::array<unsigned, 4>;

/// A manifest Version: up to four decimal numbers separated by dots, read until the first byte
/// that does not continue the pattern; parts that are not given are 0 ("2.1" is 2.1.0.0).
VersionParts ParseManifestVersion(std::string_view text);

/// True when the manifest's version is newer: the first part that differs is larger in it.
bool IsNewerVersion(const VersionParts& installed, const VersionParts& manifest);

enum class InstalledVersion {
    Read,        ///< parts hold the file version of the version resource or note
    NoInfo,      ///< the file has no readable version information
    NoRootValue, ///< the version information has no valid fixed file information
};

/// The file version of an installed program file.
InstalledVersion ReadInstalledVersion(const std::string& path, VersionParts& parts);

/// The date and time the manifest gives a support file.
struct ManifestTime {
    win::SYSTEMTIME parts;                ///< 0 for what the Date or Time does not give
    std::optional<std::int64_t> fileTime; ///< none when they do not make a valid UTC time
};

/// Date (a real calendar date) and Time ("hours:minutes:seconds", three decimal numbers) of a
/// support file, read as UTC.
ManifestTime ManifestTimeOf(const XSupportFile& file);

/// The installed file's side of a time comparison.
enum class InstalledTime {
    Read,       ///< time holds the last-write time
    NoTime,     ///< opened, but its time could not be read
    CannotOpen, ///< the file cannot be opened for reading
};

InstalledTime ReadInstalledTime(const std::string& path, std::int64_t& time);
