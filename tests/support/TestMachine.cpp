#include "tests/support/TestMachine.h"

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

} // namespace tltest
