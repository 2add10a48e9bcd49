#include "tests/support/TestMachine.h"

#include "platform/FileTime.h"
#include "platform/WindowsPath.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace tltest {

namespace fs = std::filesystem;

namespace {

// Undo read-only modes a test left behind so the folder can be removed.
void MakeWritable(const fs::path& root) {
    std::error_code ec;
    ::chmod(root.c_str(), 0755);
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_symlink())
            ::chmod(it->path().c_str(), it->is_directory() ? 0755 : 0644);
    }
}

} // namespace

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tltest.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    MakeWritable(path_);
    std::error_code ec;
    fs::remove_all(path_, ec);
}

MachineTest::MachineTest() {
    auto machine = std::make_unique<tl::Machine>(prefix_.Path() / "machine");
    machine->SetComputerName("TESTPC");
    machine->SetUserName("tester");
    machine_ = machine.get();
    scope_ = std::make_unique<tl::ScopedMachine>(std::move(machine));
}

MachineTest::~MachineTest() = default;

fs::path MachineTest::Host(const std::string& windowsPath) const {
    const auto host = tl::MapToHostPath(windowsPath, *machine_);
    EXPECT_TRUE(host.has_value()) << windowsPath;
    return host.value_or(fs::path());
}

void MachineTest::WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string MachineTest::ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::int64_t MachineTest::WriteTime(const std::string& windowsPath) const {
    struct stat info {};
    EXPECT_EQ(::stat(Host(windowsPath).c_str(), &info), 0) << windowsPath;
    return tl::FileTimeFromTimespec(info.st_mtim);
}

std::int64_t MachineTest::FileTimeOf(int year, int month, int day, int hour, int minute, int second) {
    win::SYSTEMTIME time{};
    time.wYear = static_cast<win::WORD>(year);
    time.wMonth = static_cast<win::WORD>(month);
    time.wDay = static_cast<win::WORD>(day);
    time.wHour = static_cast<win::WORD>(hour);
    time.wMinute = static_cast<win::WORD>(minute);
    time.wSecond = static_cast<win::WORD>(second);
    std::int64_t fileTime = 0;
    EXPECT_TRUE(win::SystemTimeToFileTime(time, fileTime));
    return fileTime;
}

} // namespace tltest
