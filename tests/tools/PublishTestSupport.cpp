#include "tests/tools/PublishTestSupport.h"

#include "release/DownloadFile.h"
#include "release/FetchManifest.h"
#include "update/FileComparison.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <random>
#include <sys/stat.h>

namespace tltest {

namespace fs = std::filesystem;

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

void PublishTest::PutFile(const std::string& name, const std::string& bytes, std::int64_t mtime) {
    const fs::path path = ReleaseFolder() / name;
    WriteFile(path, bytes);
    const timespec times[2] = {{static_cast<time_t>(mtime), 0}, {static_cast<time_t>(mtime), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

void PublishTest::PutSampleRelease() {
    PutFile("Tallymar.exe", ReadFile(std::string(TL_TEST_DATA_DIR) + "/pe/pe64_2.0.0.5.exe"));
    PutFile("Version Probe", ReadFile(TL_VERSION_PROBE));
    std::string creditors;
    for (int i = 0; i < 500; ++i)
        creditors += "[Creditor " + std::to_string(i) + "]\r\nName=Creditor " + std::to_string(i) + "\r\n";
    PutFile("CreditorNames.mdb", creditors, 1145368800); // 04/18/2006 14:00:00
    PutFile("tlmscanx.ini", "[Scanner]\r\nProgram=Tallymar.exe\r\n", 1145368801);
    PutFile("States.tlv", RandomBytes(20000, 1), 1145368802);
    PutFile("Empty.txt", "", 1145368803);
    PutFile("Looks compressed.bin", "\x78\x9C" + RandomBytes(3000, 2), 1145368804);
    PutFile("R&D trustees.ini", "[Trustee]\nTrusteeName=Pat\n", 1145368805);
    PutFile("unlisted.txt", "not in the description");
    Describe(kSampleRelease);
}

ProgramResult PublishTest::RunPublish() const {
    return RunProgram({TL_PUBLISH_PROGRAM, ReleaseFolder().string(), Output().string()});
}

std::map<std::string, std::string> PublishTest::Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file())
            files[fs::relative(it->path(), folder).string()] = ReadFile(it->path());
    }
    return files;
}

std::vector<std::string> PublishTest::OutputNeighbours() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(Output().parent_path()))
        names.push_back(entry.path().filename().string());
    return names;
}

void PublishTest::ServeOutput() {
    for (const auto& [path, bytes] : Snapshot(Output()))
        server.Serve("/" + path, bytes);
}

void PublishTest::InstallEverything() {
    ASSERT_TRUE(::FetchManifest(sheet)) << testing::PrintToString(Messages());
    const XCurrentVersion& manifest = *sheet.manifestObjects.front();
    std::size_t installed = 0;
    const auto install = [&](const auto& entry, std::int64_t fileTime) {
        if ((entry.Flags & FlagObsolete) != 0)
            return;
        const int kind = FolderKindFromFlags(entry.Flags);
        ASSERT_TRUE(::DownloadFile(sheet, entry.Name, kind, fileTime)) << entry.Name;
        const fs::path target = Host(TargetPathFor(sheet, entry.Name, kind));
        EXPECT_EQ(ReadFile(target), ReadFile(ReleaseFolder() / entry.Name)) << entry.Name;
        ++installed;
    };
    for (const auto& module : manifest.Modules)
        install(*module, -1);
    for (const auto& file : manifest.SupportFiles) {
        const ManifestTime time = ManifestTimeOf(*file);
        ASSERT_TRUE(time.fileTime) << file->Name;
        install(*file, *time.fileTime);
        struct stat source {};
        struct stat target {};
        ASSERT_EQ(::stat((ReleaseFolder() / file->Name).c_str(), &source), 0);
        ASSERT_EQ(
            ::stat(Host(TargetPathFor(sheet, file->Name, FolderKindFromFlags(file->Flags))).c_str(), &target),
            0);
        EXPECT_EQ(target.st_mtim.tv_sec, source.st_mtim.tv_sec) << file->Name;
    }
    EXPECT_EQ(installed, 8u);
    EXPECT_THAT(Messages(), testing::IsEmpty());
}

} // namespace tltest
