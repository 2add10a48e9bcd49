#include "tests/support/ParsedShellLink.h"

namespace tltest {

namespace {

struct Reader {
    const std::string& bytes;
    bool failed = false;

    std::uint32_t U(std::size_t at, int size) {
        if (at + static_cast<std::size_t>(size) > bytes.size()) {
            failed = true;
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        return value;
    }
    std::uint64_t U64(std::size_t at) { return U(at, 4) | (std::uint64_t{U(at + 4, 4)} << 32); }
    std::string Z(std::size_t at) {
        const std::size_t end = bytes.find('\0', at);
        if (at >= bytes.size() || end == std::string::npos) {
            failed = true;
            return {};
        }
        return bytes.substr(at, end - at);
    }
};

} // namespace

std::optional<ParsedShellLink> ParseShellLink(const std::string& bytes, std::string* why) {
    Reader r{bytes};
    ParsedShellLink link;
    link.headerSize = r.U(0, 4);
    link.clsid = bytes.substr(4, 16);
    link.linkFlags = r.U(20, 4);
    link.fileAttributes = r.U(24, 4);
    link.creationTime = r.U64(28);
    link.accessTime = r.U64(36);
    link.writeTime = r.U64(44);
    link.fileSize = r.U(52, 4);
    link.showCommand = r.U(60, 4);
    std::size_t at = link.headerSize;
    if ((link.linkFlags & 0x1) != 0) // an IDList, which these links do not carry
        at += 2 + r.U(at, 2);
    if ((link.linkFlags & 0x2) != 0) {
        const std::size_t info = at;
        link.linkInfoSize = r.U(info, 4);
        link.linkInfoHeaderSize = r.U(info + 4, 4);
        link.linkInfoFlags = r.U(info + 8, 4);
        const std::uint32_t volumeOffset = r.U(info + 12, 4);
        const std::uint32_t localPathOffset = r.U(info + 16, 4);
        const std::uint32_t networkOffset = r.U(info + 20, 4);
        const std::uint32_t suffixOffset = r.U(info + 24, 4);
        if ((link.linkInfoFlags & 0x1) != 0) {
            link.driveType = r.U(info + volumeOffset + 4, 4);
            link.localBasePath = r.Z(info + localPathOffset);
        }
        if ((link.linkInfoFlags & 0x2) != 0) {
            const std::size_t network = info + networkOffset;
            link.netName = r.Z(network + r.U(network + 8, 4));
            link.networkProviderType = r.U(network + 16, 4);
        }
        link.commonPathSuffix = r.Z(info + suffixOffset);
        at = info + link.linkInfoSize;
    }
    if ((link.linkFlags & 0x4) != 0) {
        const std::uint32_t count = r.U(at, 2);
        const bool unicode = (link.linkFlags & 0x80) != 0;
        at += 2;
        for (std::uint32_t i = 0; i < count; ++i) {
            link.name += static_cast<char16_t>(unicode ? r.U(at, 2) : r.U(at, 1));
            at += unicode ? 2 : 1;
        }
    }
    link.terminalBlock = r.U(at, 4);
    link.endOffset = at + 4;
    if (r.failed) {
        if (why != nullptr)
            *why = "a field lies outside the file";
        return std::nullopt;
    }
    return link;
}

} // namespace tltest
