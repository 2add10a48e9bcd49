#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tltest {

/// A shell link file read field by field after the published layout (header, LinkInfo with its
/// VolumeID or CommonNetworkRelativeLink, the name string), for tests of what the links hold.
struct ParsedShellLink {
    std::uint32_t headerSize = 0;
    std::string clsid; ///< the 16 bytes of LinkCLSID
    std::uint32_t linkFlags = 0;
    std::uint32_t fileAttributes = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t accessTime = 0;
    std::uint64_t writeTime = 0;
    std::uint32_t fileSize = 0;
    std::uint32_t showCommand = 0;
    std::uint32_t linkInfoSize = 0;
    std::uint32_t linkInfoHeaderSize = 0;
    std::uint32_t linkInfoFlags = 0;
    std::uint32_t driveType = 0;
    std::string localBasePath;
    std::string netName;
    std::uint32_t networkProviderType = 0;
    std::string commonPathSuffix;
    std::u16string name;
    std::uint32_t terminalBlock = 0xFFFFFFFFu;
    std::size_t endOffset = 0; ///< where the terminal block ended
};

/// Parses the bytes; nullopt (with the reason in *why) when a size or offset points outside them.
std::optional<ParsedShellLink> ParseShellLink(const std::string& bytes, std::string* why = nullptr);

} // namespace tltest
