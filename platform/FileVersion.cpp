#include "platform/FileVersion.h"

#include "platform/ElfVersionNote.h"
#include "platform/FileTime.h"
#include "platform/LastError.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <sys/mman.h>
#include <sys/stat.h>

namespace win {

namespace {

// Sole owner of a read-only mapping of a whole file.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() {
        if (data_ != nullptr)
            ::munmap(data_, size_);
    }

    /// False with the last error set when the file cannot be mapped; an empty file maps to an
    /// empty view.
    bool Map(int fd) {
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            SetLastError(ErrorFromErrno(errno));
            return false;
        }
        if (info.st_size == 0)
            return true;
        void* data = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) {
            SetLastError(ErrorFromErrno(errno));
            return false;
        }
        data_ = data;
        size_ = static_cast<std::size_t>(info.st_size);
        return true;
    }

    const std::uint8_t* data() const { return static_cast<const std::uint8_t*>(data_); }
    std::size_t size() const { return size_; }

private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
};

// Bounds-checked reads of little- or big-endian numbers from the bytes of a file. Every read that
// would leave the view fails, so damaged offsets and sizes never read outside the file.
class ByteView {
public:
    ByteView(const std::uint8_t* data, std::size_t size, bool bigEndian = false)
        : data_(data), size_(size), bigEndian_(bigEndian) {}

    std::size_t size() const { return size_; }
    bool Has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    const std::uint8_t* At(std::uint64_t offset) const { return data_ + offset; }

    std::optional<std::uint64_t> Read(std::uint64_t offset, unsigned width) const {
        if (!Has(offset, width))
            return std::nullopt;
        std::uint64_t value = 0;
        for (unsigned i = 0; i < width; ++i) {
            const unsigned index = bigEndian_ ? i : width - 1 - i;
            value = (value << 8) | data_[offset + index];
        }
        return value;
    }
    std::optional<std::uint32_t> U16(std::uint64_t offset) const { return Narrow(Read(offset, 2)); }
    std::optional<std::uint32_t> U32(std::uint64_t offset) const { return Narrow(Read(offset, 4)); }
    std::optional<std::uint64_t> U64(std::uint64_t offset) const { return Read(offset, 8); }

private:
    static std::optional<std::uint32_t> Narrow(std::optional<std::uint64_t> value) {
        if (!value)
            return std::nullopt;
        return static_cast<std::uint32_t>(*value);
    }

    const std::uint8_t* data_;
    std::size_t size_;
    bool bigEndian_;
};

bool Fail(DWORD error) {
    SetLastError(error);
    return false;
}

// ---- PE files ----------------------------------------------------------------------------------

constexpr std::uint32_t kResourceTypeVersion = 16; // RT_VERSION
constexpr std::uint32_t kResourceSubdirectory = 0x80000000u;

struct PeImage {
    ByteView file;
    std::uint64_t sectionTable = 0;
    unsigned sectionCount = 0;

    // The file offset of length bytes at a relative virtual address, when one section's raw data
    // holds all of them.
    std::optional<std::uint64_t> OffsetOf(std::uint32_t rva, std::uint32_t length) const {
        for (unsigned i = 0; i < sectionCount; ++i) {
            const std::uint64_t header = sectionTable + std::uint64_t{i} * 40;
            const auto address = file.U32(header + 12);
            const auto rawSize = file.U32(header + 16);
            const auto rawOffset = file.U32(header + 20);
            if (!address || !rawSize || !rawOffset)
                return std::nullopt;
            if (rva < *address || std::uint64_t{rva} - *address >= *rawSize)
                continue;
            const std::uint64_t inSection = rva - *address;
            if (length > *rawSize - inSection)
                return std::nullopt;
            return std::uint64_t{*rawOffset} + inSection;
        }
        return std::nullopt;
    }
};

// One entry of a resource directory: by id when wantedId is set, else the first entry.
std::optional<std::uint32_t> FindResourceEntry(const ByteView& file, std::uint64_t directory,
                                               std::optional<std::uint32_t> wantedId) {
    const auto named = file.U16(directory + 12);
    const auto byId = file.U16(directory + 14);
    if (!named || !byId)
        return std::nullopt;
    const unsigned count = *named + *byId;
    for (unsigned i = 0; i < count; ++i) {
        const std::uint64_t entry = directory + 16 + std::uint64_t{i} * 8;
        const auto name = file.U32(entry);
        const auto value = file.U32(entry + 4);
        if (!name || !value)
            return std::nullopt;
        if (!wantedId || ((*name & kResourceSubdirectory) == 0 && *name == *wantedId))
            return *value;
    }
    return std::nullopt;
}

bool ReadPeVersionBlock(const ByteView& file, std::vector<std::uint8_t>& block) {
    const auto peOffset = file.U32(0x3C);
    if (!peOffset || !file.Has(*peOffset, 24) || std::memcmp(file.At(*peOffset), "PE\0\0", 4) != 0)
        return Fail(ERROR_BAD_EXE_FORMAT);
    const std::uint64_t coff = *peOffset + 4;
    const auto sectionCount = file.U16(coff + 2);
    const auto optionalSize = file.U16(coff + 16);
    const std::uint64_t optional = coff + 20;
    const auto magic = file.U16(optional);
    if (!sectionCount || !optionalSize || !magic || !file.Has(optional, *optionalSize))
        return Fail(ERROR_BAD_EXE_FORMAT);
    std::uint64_t directoryCountAt = 0;
    if (*magic == 0x10B)
        directoryCountAt = optional + 92; // PE32
    else if (*magic == 0x20B)
        directoryCountAt = optional + 108; // PE32+
    else
        return Fail(ERROR_BAD_EXE_FORMAT);
    const auto directoryCount = file.U32(directoryCountAt);
    if (!directoryCount)
        return Fail(ERROR_BAD_EXE_FORMAT);
    const std::uint64_t resourceDirectory = directoryCountAt + 4 + 2 * 8; // data directory 2
    if (*directoryCount < 3 || resourceDirectory + 8 > optional + *optionalSize)
        return Fail(ERROR_RESOURCE_DATA_NOT_FOUND);
    const PeImage image{file, optional + *optionalSize, *sectionCount};
    if (!file.Has(image.sectionTable, std::uint64_t{image.sectionCount} * 40))
        return Fail(ERROR_BAD_EXE_FORMAT);
    const auto resourceRva = file.U32(resourceDirectory);
    const auto resourceSize = file.U32(resourceDirectory + 4);
    if (!resourceRva || !resourceSize || *resourceRva == 0 || *resourceSize == 0)
        return Fail(ERROR_RESOURCE_DATA_NOT_FOUND);
    const auto base = image.OffsetOf(*resourceRva, 16);
    if (!base)
        return Fail(ERROR_BAD_EXE_FORMAT);

    // Type (RT_VERSION) -> name (the first) -> language (the first) -> data entry.
    const auto typeEntry = FindResourceEntry(file, *base, kResourceTypeVersion);
    if (!typeEntry || (*typeEntry & kResourceSubdirectory) == 0)
        return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    const auto nameEntry =
        FindResourceEntry(file, *base + (*typeEntry & ~kResourceSubdirectory), std::nullopt);
    if (!nameEntry || (*nameEntry & kResourceSubdirectory) == 0)
        return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    const auto languageEntry =
        FindResourceEntry(file, *base + (*nameEntry & ~kResourceSubdirectory), std::nullopt);
    if (!languageEntry || (*languageEntry & kResourceSubdirectory) != 0)
        return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    const auto dataRva = file.U32(*base + *languageEntry);
    const auto dataSize = file.U32(*base + *languageEntry + 4);
    if (!dataRva || !dataSize)
        return Fail(ERROR_BAD_EXE_FORMAT);
    const auto data = image.OffsetOf(*dataRva, *dataSize);
    if (!data)
        return Fail(ERROR_BAD_EXE_FORMAT);
    block.assign(file.At(*data), file.At(*data) + *dataSize);
    return true;
}

// ---- ELF files ---------------------------------------------------------------------------------

constexpr std::uint32_t kProgramHeaderNote = 4; // PT_NOTE
constexpr std::uint32_t kSectionNote = 7;       // SHT_NOTE

std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// Looks through one note area for the version note; the four parts on success.
std::optional<std::array<std::uint16_t, 4>> FindVersionNote(const ByteView& file, std::uint64_t offset,
                                                            std::uint64_t size, std::uint64_t alignment) {
    if (!file.Has(offset, size))
        return std::nullopt;
    alignment = alignment == 8 ? 8 : 4;
    const std::uint64_t start = offset;
    const std::uint64_t end = offset + size;
    constexpr std::uint32_t kNameSize = sizeof tl::kElfVersionNoteName;
    while (offset + 12 <= end) {
        const auto nameSize = file.U32(offset);
        const auto descSize = file.U32(offset + 4);
        const auto type = file.U32(offset + 8);
        if (!nameSize || !descSize || !type)
            return std::nullopt;
        // The descriptor and the next note start at aligned offsets from the start of the area.
        const std::uint64_t name = offset + 12;
        const std::uint64_t desc = start + AlignUp(name + *nameSize - start, alignment);
        const std::uint64_t next = start + AlignUp(desc + *descSize - start, alignment);
        if (next > end)
            return std::nullopt;
        if (*nameSize == kNameSize && std::memcmp(file.At(name), tl::kElfVersionNoteName, kNameSize) == 0 &&
            *type == tl::kElfVersionNoteType && *descSize >= tl::kElfVersionNoteDescSize) {
            std::array<std::uint16_t, 4> parts{};
            for (unsigned i = 0; i < 4; ++i)
                parts[i] = static_cast<std::uint16_t>(*file.U16(desc + 2 * i));
            return parts;
        }
        offset = next;
    }
    return std::nullopt;
}

struct ElfLayout {
    bool is64;
    std::uint64_t tableOffsetAt, entrySizeAt, countAt; // in the file header
    std::uint32_t noteType;
    std::uint64_t offsetAt, sizeAt, alignAt; // in one table entry
};

std::optional<std::array<std::uint16_t, 4>> ScanElfTable(const ByteView& file, const ElfLayout& layout) {
    const auto tableOffset = file.Read(layout.tableOffsetAt, layout.is64 ? 8 : 4);
    const auto entrySize = file.U16(layout.entrySizeAt);
    const auto count = file.U16(layout.countAt);
    if (!tableOffset || !entrySize || !count || *tableOffset == 0)
        return std::nullopt;
    for (unsigned i = 0; i < *count; ++i) {
        const std::uint64_t entry = *tableOffset + std::uint64_t{i} * *entrySize;
        const auto type = file.U32(entry + (layout.noteType == kProgramHeaderNote ? 0 : 4));
        const auto offset = file.Read(entry + layout.offsetAt, layout.is64 ? 8 : 4);
        const auto size = file.Read(entry + layout.sizeAt, layout.is64 ? 8 : 4);
        const auto align = file.Read(entry + layout.alignAt, layout.is64 ? 8 : 4);
        if (!type || !offset || !size || !align)
            return std::nullopt;
        if (*type != layout.noteType)
            continue;
        if (auto parts = FindVersionNote(file, *offset, *size, *align))
            return parts;
    }
    return std::nullopt;
}

// A version block like the one a resource compiler makes, holding only the fixed information.
std::vector<std::uint8_t> MakeVersionBlock(const std::array<std::uint16_t, 4>& parts) {
    VS_FIXEDFILEINFO info{};
    info.dwSignature = VS_FFI_SIGNATURE;
    info.dwStrucVersion = 0x00010000;
    info.dwFileVersionMS = (DWORD{parts[0]} << 16) | parts[1];
    info.dwFileVersionLS = (DWORD{parts[2]} << 16) | parts[3];
    info.dwProductVersionMS = info.dwFileVersionMS;
    info.dwProductVersionLS = info.dwFileVersionLS;
    info.dwFileFlagsMask = 0x3F;
    info.dwFileType = 1; // VFT_APP
    constexpr std::string_view kKey = "VS_VERSION_INFO";
    std::vector<std::uint8_t> block(6 + (kKey.size() + 1) * 2 + 2 + sizeof info);
    auto put16 = [&block](std::size_t at, unsigned value) {
        block[at] = static_cast<std::uint8_t>(value & 0xFF);
        block[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    put16(0, static_cast<unsigned>(block.size()));
    put16(2, sizeof info);
    for (std::size_t i = 0; i < kKey.size(); ++i)
        put16(6 + 2 * i, static_cast<unsigned char>(kKey[i]));
    DWORD words[sizeof info / 4];
    std::memcpy(words, &info, sizeof info);
    for (std::size_t i = 0; i < sizeof info / 4; ++i) {
        put16(40 + 4 * i, words[i] & 0xFFFF);
        put16(42 + 4 * i, words[i] >> 16);
    }
    return block;
}

bool ReadElfVersionBlock(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& block) {
    const bool is64 = data[4] == 2;
    if ((data[4] != 1 && data[4] != 2) || (data[5] != 1 && data[5] != 2))
        return Fail(ERROR_BAD_EXE_FORMAT);
    const ByteView file(data, size, data[5] == 2);
    const ElfLayout programs = is64 ? ElfLayout{true, 32, 54, 56, kProgramHeaderNote, 8, 32, 48}
                                    : ElfLayout{false, 28, 42, 44, kProgramHeaderNote, 4, 16, 28};
    const ElfLayout sections = is64 ? ElfLayout{true, 40, 58, 60, kSectionNote, 24, 32, 48}
                                    : ElfLayout{false, 32, 46, 48, kSectionNote, 16, 20, 32};
    auto parts = ScanElfTable(file, programs);
    if (!parts)
        parts = ScanElfTable(file, sections);
    if (!parts)
        return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    block = MakeVersionBlock(*parts);
    return true;
}

} // namespace

bool GetFileVersionInfo(std::string_view path, std::vector<std::uint8_t>& block) {
    const tl::UniqueFd fd = tl::OpenFileForReading(path);
    if (!fd)
        return false;
    return GetFileVersionInfoOfDescriptor(fd.get(), block);
}

bool GetFileVersionInfoOfDescriptor(int fd, std::vector<std::uint8_t>& block) {
    MappedFile mapped;
    if (!mapped.Map(fd))
        return false;
    if (mapped.size() >= 64 && std::memcmp(mapped.data(), "MZ", 2) == 0)
        return ReadPeVersionBlock(ByteView(mapped.data(), mapped.size()), block);
    if (mapped.size() >= 64 && std::memcmp(mapped.data(),
                                           "\x7F"
                                           "ELF",
                                           4) == 0)
        return ReadElfVersionBlock(mapped.data(), mapped.size(), block);
    return Fail(ERROR_BAD_EXE_FORMAT);
}

bool VerQueryValue(const std::vector<std::uint8_t>& block, std::string_view subBlock,
                   VS_FIXEDFILEINFO& info) {
    if (subBlock != "\\")
        return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    const ByteView view(block.data(), block.size());
    // wLength, wValueLength, wType, then the key "VS_VERSION_INFO" in UTF-16 with its terminator,
    // padded to a 32-bit boundary, then the value.
    constexpr std::string_view kKey = "VS_VERSION_INFO";
    constexpr std::uint64_t kValueOffset = 40;
    const auto length = view.U16(0);
    const auto valueLength = view.U16(2);
    if (!length || !valueLength || *length > block.size() || *valueLength < sizeof info ||
        kValueOffset + sizeof info > *length)
        return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    for (std::size_t i = 0; i <= kKey.size(); ++i) {
        const unsigned expected = i < kKey.size() ? static_cast<unsigned char>(kKey[i]) : 0;
        if (view.U16(6 + 2 * i) != expected)
            return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    }
    DWORD words[sizeof info / 4];
    for (std::size_t i = 0; i < sizeof info / 4; ++i)
        words[i] = *view.U32(kValueOffset + 4 * i);
    std::memcpy(&info, words, sizeof info);
    if (info.dwSignature != VS_FFI_SIGNATURE)
        return Fail(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return true;
}

} // namespace win
