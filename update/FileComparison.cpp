#include "update/FileComparison.h"

#include "app/ManifestObjects.h"
#include "platform/FileVersion.h"

#include <climits>
#include <cstdint>
#include <vector>

namespace {

// Reads a decimal number at pos; false when no digit is there. Large values stop growing at
// UINT_MAX instead of wrapping.
bool ReadNumber(std::string_view text, std::size_t& pos, unsigned& value) {
    const std::size_t start = pos;
    std::uint64_t number = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        number = number * 10 + static_cast<unsigned>(text[pos] - '0');
        if (number > UINT_MAX)
            number = UINT_MAX;
        ++pos;
    }
    value = static_cast<unsigned>(number);
    return pos != start;
}

// Up to count numbers separated by one separator byte; the number of parts read.
std::size_t ReadNumbers(std::string_view text, char separator, unsigned* parts, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != separator)
                return i;
            ++pos;
        }
        if (!ReadNumber(text, pos, parts[i]))
            return i;
    }
    return count;
}

} // namespace

VersionParts ParseManifestVersion(std::string_view text) {
    VersionParts parts{};
    ReadNumbers(text, '.', parts.data(), parts.size());
    return parts;
}

bool IsNewerVersion(const VersionParts& installed, const VersionParts& manifest) {
    for (std::size_t i = 0; i < installed.size(); ++i) {
        if (manifest[i] != installed[i])
            return manifest[i] > installed[i];
    }
    return false;
}

InstalledVersion ReadInstalledVersion(const std::string& path, VersionParts& parts) {
    std::vector<std::uint8_t> block;
    if (!win::GetFileVersionInfo(path, block))
        return InstalledVersion::NoInfo;
    win::VS_FIXEDFILEINFO info{};
    if (!win::VerQueryValue(block, "\\", info))
        return InstalledVersion::NoRootValue;
    parts = {info.dwFileVersionMS >> 16, info.dwFileVersionMS & 0xFFFF, info.dwFileVersionLS >> 16,
             info.dwFileVersionLS & 0xFFFF};
    return InstalledVersion::Read;
}

ManifestTime ManifestTimeOf(const XSupportFile& file) {
    ManifestTime result{};
    int month = 0;
    int day = 0;
    int year = 0;
    if (!file.Date.GetParts(month, day, year))
        month = day = year = 0;
    unsigned clock[3] = {};
    const bool hasTime = ReadNumbers(file.Time, ':', clock, 3) == 3 && clock[0] <= 0xFFFF &&
                         clock[1] <= 0xFFFF && clock[2] <= 0xFFFF;
    if (!hasTime)
        clock[0] = clock[1] = clock[2] = 0;
    win::SYSTEMTIME& parts = result.parts;
    parts.wYear = static_cast<win::WORD>(year);
    parts.wMonth = static_cast<win::WORD>(month);
    parts.wDay = static_cast<win::WORD>(day);
    parts.wHour = static_cast<win::WORD>(clock[0]);
    parts.wMinute = static_cast<win::WORD>(clock[1]);
    parts.wSecond = static_cast<win::WORD>(clock[2]);
    std::int64_t fileTime = 0;
    if (hasTime && win::SystemTimeToFileTime(parts, fileTime))
        result.fileTime = fileTime;
    return result;
}

InstalledTime ReadInstalledTime(const std::string& path, std::int64_t& time) {
    const tl::UniqueFd fd = tl::OpenFileForReading(path);
    if (!fd)
        return InstalledTime::CannotOpen;
    return tl::GetLastWriteTime(fd.get(), time) ? InstalledTime::Read : InstalledTime::NoTime;
}
