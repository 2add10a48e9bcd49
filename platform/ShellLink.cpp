#include "platform/ShellLink.h"

#include "platform/FileApi.h"
#include "platform/FileTime.h"
#include "platform/HostFile.h"
#include "platform/Machine.h"
#include "platform/PathHelpers.h"
#include "platform/WindowsPath.h"

#include <sys/stat.h>

namespace win {

namespace {

// Layout constants of the shell link format.
constexpr DWORD kHeaderSize = 0x4C;
constexpr std::uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr DWORD kHasLinkInfo = 0x00000002;
constexpr DWORD kHasName = 0x00000004;
constexpr DWORD kIsUnicode = 0x00000080;
constexpr DWORD kShowNormal = 1;
constexpr DWORD kLinkInfoHeaderSize = 0x1C;
constexpr DWORD kVolumeIdAndLocalBasePath = 0x1;
constexpr DWORD kCommonNetworkRelativeLinkAndPathSuffix = 0x2;
constexpr DWORD kVolumeIdHeaderSize = 0x10;
constexpr DWORD kValidNetType = 0x2;
constexpr DWORD kNetworkRelativeLinkHeaderSize = 0x14;
constexpr DWORD kWnncNetLanman = 0x00020000;
constexpr std::size_t kInfoTipSize = 1024;

void PutU16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutU64(std::string& out, std::uint64_t value) {
    PutU32(out, static_cast<std::uint32_t>(value));
    PutU32(out, static_cast<std::uint32_t>(value >> 32));
}

void PatchU32(std::string& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// UTF-16 code units of single-byte text: UTF-8 sequences are decoded, any other byte is taken as
// the Latin-1 character of that value.
std::u16string ToUtf16(std::string_view text) {
    std::u16string units;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int length = byte < 0x80           ? 1
                           : (byte >> 5) == 0x6  ? 2
                           : (byte >> 4) == 0xE  ? 3
                           : (byte >> 3) == 0x1E ? 4
                                                 : 0;
        char32_t code = length == 1   ? byte
                        : length == 2 ? (byte & 0x1F)
                        : length == 3 ? (byte & 0x0F)
                                      : (byte & 0x07);
        bool valid = length > 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid || (length > 1 && code < 0x80)) {
            units += static_cast<char16_t>(byte);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (code >> 10));
            units += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            units += static_cast<char16_t>(code);
        }
        i += static_cast<std::size_t>(length);
    }
    return units;
}

// A stable serial number for a drive of this machine, made from its host folder.
std::uint32_t DriveSerialNumber(char letter) {
    const auto folder = tl::Machine::Current().DriveFolder(letter);
    std::uint32_t hash = 2166136261u;
    for (const char c : folder ? folder->string() : std::string(1, letter))
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

std::string VolumeId(char letter) {
    std::string volume;
    PutU32(volume, 0); // size, patched below
    PutU32(volume, GetDriveType(std::string(1, letter) + ":\\"));
    PutU32(volume, DriveSerialNumber(letter));
    PutU32(volume, kVolumeIdHeaderSize); // the label follows the header
    volume += '\0';                      // no volume label
    PatchU32(volume, 0, static_cast<std::uint32_t>(volume.size()));
    return volume;
}

std::string NetworkRelativeLink(const std::string& netName) {
    std::string link;
    PutU32(link, 0); // size, patched below
    PutU32(link, kValidNetType);
    PutU32(link, kNetworkRelativeLinkHeaderSize); // NetNameOffset
    PutU32(link, 0);                              // no device name
    PutU32(link, kWnncNetLanman);
    link += netName;
    link += '\0';
    PatchU32(link, 0, static_cast<std::uint32_t>(link.size()));
    return link;
}

// LinkInfo: where the target is, as a local volume and path or as a share and the rest.
std::string LinkInfo(const std::string& target, const tl::WindowsPath& parsed) {
    std::string body;
    DWORD flags = 0;
    DWORD volumeOffset = 0;
    DWORD localPathOffset = 0;
    DWORD networkOffset = 0;
    std::string suffix;
    if (parsed.kind == tl::WindowsPath::Kind::Drive) {
        flags = kVolumeIdAndLocalBasePath;
        volumeOffset = kLinkInfoHeaderSize;
        body += VolumeId(parsed.drive);
        localPathOffset = kLinkInfoHeaderSize + static_cast<DWORD>(body.size());
        body += target + '\0';
    } else {
        flags = kCommonNetworkRelativeLinkAndPathSuffix;
        networkOffset = kLinkInfoHeaderSize;
        body += NetworkRelativeLink("\\\\" + parsed.server + "\\" + parsed.share);
        for (const std::string& component : parsed.components)
            suffix += (suffix.empty() ? "" : "\\") + component;
    }
    const DWORD suffixOffset = kLinkInfoHeaderSize + static_cast<DWORD>(body.size());
    body += suffix + '\0';
    std::string info;
    PutU32(info, kLinkInfoHeaderSize + static_cast<std::uint32_t>(body.size()));
    PutU32(info, kLinkInfoHeaderSize);
    PutU32(info, flags);
    PutU32(info, volumeOffset);
    PutU32(info, localPathOffset);
    PutU32(info, networkOffset);
    PutU32(info, suffixOffset);
    return info + body;
}

struct TargetFacts {
    DWORD attributes = 0;
    std::int64_t creation = 0;
    std::int64_t access = 0;
    std::int64_t write = 0;
    DWORD size = 0;
};

TargetFacts FactsOf(const std::string& target) {
    TargetFacts facts;
    const auto host = tl::MapToHostPath(target);
    struct stat info {};
    if (!host || ::stat(host->c_str(), &info) != 0)
        return facts;
    facts.attributes = GetFileAttributes(target);
    // Linux keeps no creation time; the last-write time stands in for it.
    facts.write = tl::FileTimeFromTimespec(info.st_mtim);
    facts.creation = facts.write;
    facts.access = tl::FileTimeFromTimespec(info.st_atim);
    facts.size = S_ISDIR(info.st_mode) ? 0 : static_cast<DWORD>(info.st_size);
    return facts;
}

std::string Header(DWORD linkFlags, const TargetFacts& facts) {
    std::string header;
    PutU32(header, kHeaderSize);
    header.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
    PutU32(header, linkFlags);
    PutU32(header, facts.attributes);
    PutU64(header, static_cast<std::uint64_t>(facts.creation));
    PutU64(header, static_cast<std::uint64_t>(facts.access));
    PutU64(header, static_cast<std::uint64_t>(facts.write));
    PutU32(header, facts.size);
    PutU32(header, 0); // icon index
    PutU32(header, kShowNormal);
    PutU16(header, 0); // no hot key
    PutU16(header, 0); // reserved
    PutU32(header, 0);
    PutU32(header, 0);
    return header;
}

} // namespace

HRESULT ShellLink::SetPath(std::string_view target) {
    if (!tl::ParseWindowsPath(target))
        return E_INVALIDARG;
    target_ = std::string(target);
    return S_OK;
}

HRESULT ShellLink::SetDescription(std::string_view description) {
    if (description.size() > kInfoTipSize)
        return E_INVALIDARG;
    description_ = std::string(description);
    return S_OK;
}

std::string ShellLink::Bytes() const {
    const auto parsed = tl::ParseWindowsPath(target_);
    if (!parsed)
        return {};
    DWORD flags = kHasLinkInfo | kIsUnicode;
    if (!description_.empty())
        flags |= kHasName;
    std::string bytes = Header(flags, FactsOf(target_)) + LinkInfo(target_, *parsed);
    if (!description_.empty()) {
        const std::u16string name = ToUtf16(description_);
        PutU16(bytes, static_cast<unsigned>(name.size()));
        for (const char16_t unit : name)
            PutU16(bytes, unit);
    }
    PutU32(bytes, 0); // the terminal block: no extra data
    return bytes;
}

HRESULT ShellLink::Save(std::string_view linkPath, bool) {
    if (target_.empty())
        return E_INVALIDARG;
    DWORD error = ERROR_SUCCESS;
    const auto host = tl::MapToHostPath(linkPath, &error);
    if (!host)
        return HRESULT_FROM_WIN32(error);
    if (GetFileAttributes(tl::ParentPath(linkPath)) == INVALID_FILE_ATTRIBUTES)
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    return HRESULT_FROM_WIN32(tl::WriteHostFileAtomically(*host, Bytes()));
}

} // namespace win
