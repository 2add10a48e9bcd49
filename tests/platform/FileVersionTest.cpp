#include "platform/FileVersion.h"

#include "platform/ElfVersionNote.h"
#include "platform/LastError.h"
#include "tests/support/TestMachine.h"

#include <cstring>
#include <fstream>

using namespace win;

namespace {

class FileVersion : public tltest::MachineTest {
protected:
    // Copies a file of tests/data/pe into C:\bin and returns its Windows path.
    std::string Fixture(const std::string& name) {
        WriteFile(Host("C:\\bin\\" + name), ReadFile(std::string(TL_TEST_DATA_DIR) + "/pe/" + name));
        return "C:\\bin\\" + name;
    }
    std::string Put(const std::string& name, const std::string& bytes) {
        WriteFile(Host("C:\\bin\\" + name), bytes);
        return "C:\\bin\\" + name;
    }
};

std::string FourParts(const VS_FIXEDFILEINFO& info) {
    return std::to_string(info.dwFileVersionMS >> 16) + "." + std::to_string(info.dwFileVersionMS & 0xFFFF) +
           "." + std::to_string(info.dwFileVersionLS >> 16) + "." +
           std::to_string(info.dwFileVersionLS & 0xFFFF);
}

// Little- or big-endian numbers appended to a byte string.
struct Bytes {
    bool bigEndian;
    std::string data;
    void Put(std::uint64_t value, unsigned width) {
        for (unsigned i = 0; i < width; ++i) {
            const unsigned shift = 8 * (bigEndian ? width - 1 - i : i);
            data += static_cast<char>((value >> shift) & 0xFF);
        }
    }
    void Pad(std::size_t alignment) {
        while (data.size() % alignment != 0)
            data += '\0';
    }
};

std::string Note(bool bigEndian, const std::string& name, std::uint32_t type, const std::string& desc,
                 std::size_t alignment) {
    Bytes note{bigEndian, {}};
    note.Put(name.size() + 1, 4);
    note.Put(desc.size(), 4);
    note.Put(type, 4);
    note.data += name;
    note.data += '\0';
    note.Pad(alignment);
    note.data += desc;
    note.Pad(alignment);
    return note.data;
}

std::string VersionDesc(bool bigEndian, unsigned a, unsigned b, unsigned c, unsigned d) {
    Bytes desc{bigEndian, {}};
    for (unsigned part : {a, b, c, d})
        desc.Put(part, 2);
    return desc.data;
}

// A minimal ELF program: the file header and one PT_NOTE program header over the given notes.
std::string Elf(bool is64, bool bigEndian, const std::string& notes, std::size_t alignment) {
    Bytes elf{bigEndian, {}};
    elf.data = std::string("\x7F"
                           "ELF",
                           4);
    elf.data += static_cast<char>(is64 ? 2 : 1);
    elf.data += static_cast<char>(bigEndian ? 2 : 1);
    elf.data += '\x01';
    elf.data.resize(16, '\0');
    const std::uint64_t headerSize = is64 ? 64 : 52;
    const std::uint64_t programHeaderSize = is64 ? 56 : 32;
    const std::uint64_t notesAt = headerSize + programHeaderSize;
    const unsigned word = is64 ? 8 : 4;
    elf.Put(2, 2);  // ET_EXEC
    elf.Put(62, 2); // x86-64
    elf.Put(1, 4);
    elf.Put(0, word);          // entry
    elf.Put(headerSize, word); // program headers
    elf.Put(0, word);          // no section headers
    elf.Put(0, 4);
    elf.Put(headerSize, 2);
    elf.Put(programHeaderSize, 2);
    elf.Put(1, 2);
    elf.Put(is64 ? 64 : 40, 2);
    elf.Put(0, 2);
    elf.Put(0, 2);
    if (is64) {
        elf.Put(4, 4); // PT_NOTE
        elf.Put(4, 4); // flags
        elf.Put(notesAt, 8);
        elf.Put(notesAt, 8);
        elf.Put(notesAt, 8);
        elf.Put(notes.size(), 8);
        elf.Put(notes.size(), 8);
        elf.Put(alignment, 8);
    } else {
        elf.Put(4, 4);
        elf.Put(notesAt, 4);
        elf.Put(notesAt, 4);
        elf.Put(notesAt, 4);
        elf.Put(notes.size(), 4);
        elf.Put(notes.size(), 4);
        elf.Put(4, 4);
        elf.Put(alignment, 4);
    }
    return elf.data + notes;
}

} // namespace

TEST_F(FileVersion, ReadsTheFixedInfoOfThirtyTwoAndSixtyFourBitProgramsAndLibraries) {
    const std::pair<const char*, const char*> fixtures[] = {
        {"pe64_2.0.0.5.exe", "2.0.0.5"},
        {"pe64_1.0.0.10.dll", "1.0.0.10"},
        {"pe32_65535.1.300.4.exe", "65535.1.300.4"},
        {"pe32_2.0.0.5.dll", "2.0.0.5"},
    };
    for (const auto& [name, version] : fixtures) {
        std::vector<std::uint8_t> block;
        ASSERT_TRUE(GetFileVersionInfo(Fixture(name), block)) << name;
        VS_FIXEDFILEINFO info{};
        ASSERT_TRUE(VerQueryValue(block, "\\", info)) << name;
        EXPECT_EQ(info.dwSignature, VS_FFI_SIGNATURE);
        EXPECT_EQ(FourParts(info), version) << name;
        EXPECT_FALSE(VerQueryValue(block, "\\StringFileInfo\\040904b0\\FileVersion", info));
    }
}

TEST_F(FileVersion, FilesWithoutUsableVersionInformationFailWithTheirReason) {
    std::vector<std::uint8_t> block;
    EXPECT_FALSE(GetFileVersionInfo(Fixture("pe64_no_version_resource.exe"), block));
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
    EXPECT_FALSE(GetFileVersionInfo(Fixture("pe64_truncated_headers.exe"), block));
    EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
    EXPECT_FALSE(GetFileVersionInfo(Put("readme.txt", std::string(100, 'x')), block));
    EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
    EXPECT_FALSE(GetFileVersionInfo(Put("empty.exe", ""), block));
    EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
    EXPECT_FALSE(GetFileVersionInfo("C:\\bin\\missing.exe", block));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    // The block is there but its root value lost its signature.
    ASSERT_TRUE(GetFileVersionInfo(Fixture("pe32_bad_fixed_info_signature.dll"), block));
    VS_FIXEDFILEINFO info{};
    EXPECT_FALSE(VerQueryValue(block, "\\", info));
    EXPECT_FALSE(VerQueryValue({}, "\\", info));
}

TEST_F(FileVersion, ReadsTheVersionNoteOfAProgramBuiltHere) {
    WriteFile(Host("C:\\bin\\probe"), ReadFile(TL_VERSION_PROBE));
    std::vector<std::uint8_t> block;
    ASSERT_TRUE(GetFileVersionInfo("C:\\bin\\probe", block));
    VS_FIXEDFILEINFO info{};
    ASSERT_TRUE(VerQueryValue(block, "\\", info));
    EXPECT_EQ(FourParts(info), "3.14.159.2653");
}

TEST_F(FileVersion, FindsTheNoteInEveryElfClassAndByteOrder) {
    for (const bool is64 : {false, true}) {
        for (const bool bigEndian : {false, true}) {
            const std::size_t alignment = is64 ? 8 : 4;
            const std::string notes = Note(bigEndian, "GNU", 1, std::string(16, '\x01'), alignment) +
                                      Note(bigEndian, tl::kElfVersionNoteName, tl::kElfVersionNoteType,
                                           VersionDesc(bigEndian, 7, 0, 1, 65535), alignment);
            std::vector<std::uint8_t> block;
            ASSERT_TRUE(GetFileVersionInfo(Put("program", Elf(is64, bigEndian, notes, alignment)), block))
                << is64 << bigEndian;
            VS_FIXEDFILEINFO info{};
            ASSERT_TRUE(VerQueryValue(block, "\\", info));
            EXPECT_EQ(FourParts(info), "7.0.1.65535") << is64 << bigEndian;
        }
    }
}

TEST_F(FileVersion, ElfProgramsWithoutOurNoteHaveNoVersion) {
    const std::string otherOwner =
        Note(false, "Tallymax", tl::kElfVersionNoteType, VersionDesc(false, 1, 2, 3, 4), 4);
    const std::string otherType = Note(false, tl::kElfVersionNoteName, 1, VersionDesc(false, 1, 2, 3, 4), 4);
    const std::string shortDesc =
        Note(false, tl::kElfVersionNoteName, tl::kElfVersionNoteType, "\x01\x00", 4);
    for (const std::string& notes : {otherOwner, otherType, shortDesc, std::string()}) {
        std::vector<std::uint8_t> block;
        EXPECT_FALSE(GetFileVersionInfo(Put("program", Elf(true, false, notes, 4)), block));
        EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
    }
}

// Every byte of a real file overwritten in turn: damaged offsets and counts may fail the read
// but never read outside the file (the sanitizer build checks that).
TEST_F(FileVersion, DamagedFilesNeverReadOutsideTheirBytes) {
    const std::string notes =
        Note(false, tl::kElfVersionNoteName, tl::kElfVersionNoteType, VersionDesc(false, 1, 2, 3, 4), 4);
    const std::string originals[] = {ReadFile(std::string(TL_TEST_DATA_DIR) + "/pe/pe32_2.0.0.5.dll"),
                                     ReadFile(std::string(TL_TEST_DATA_DIR) + "/pe/pe64_1.0.0.10.dll"),
                                     Elf(true, false, notes, 4), Elf(false, true, notes, 4)};
    const auto host = Host("C:\\bin\\damaged");
    for (const std::string& original : originals) {
        ASSERT_FALSE(original.empty());
        WriteFile(host, original);
        std::fstream file(host, std::ios::in | std::ios::out | std::ios::binary);
        for (std::size_t i = 0; i < original.size(); ++i) {
            for (const char value : {'\xFF', '\x7F', original[i]}) {
                file.seekp(static_cast<std::streamoff>(i));
                file.put(value);
                file.flush();
                std::vector<std::uint8_t> block;
                VS_FIXEDFILEINFO info{};
                if (GetFileVersionInfo("C:\\bin\\damaged", block))
                    VerQueryValue(block, "\\", info);
            }
        }
    }
}
