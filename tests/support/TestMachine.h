#pragma once

#include "platform/Machine.h"
#include "platform/RunState.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace tltest {

/// A fresh temporary folder, removed with everything in it when the object goes away.
class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

/// Fixture base: every test runs on its own machine in a temporary prefix (computer "TESTPC",
/// user "tester"), which is the process's current machine for the duration of the test, with a
/// fresh run state (connections closed, no master key, the default file server, ...) that is
/// dropped when the test ends, so that no test sees what another left behind.
class MachineTest : public ::testing::Test {
protected:
    MachineTest();
    ~MachineTest() override;

    tl::Machine& machine() { return *machine_; }
    const std::filesystem::path& prefix() const { return prefix_.Path(); }
    /// The host path of a Windows path on this machine (fails the test when it cannot be mapped).
    std::filesystem::path Host(const std::string& windowsPath) const;
    /// Writes a host file (creating folders) with the given bytes.
    static void WriteFile(const std::filesystem::path& path, const std::string& bytes);
    static std::string ReadFile(const std::filesystem::path& path);
    /// The modification time of a file of this machine as a FILETIME (fails the test when the
    /// file cannot be read).
    std::int64_t WriteTime(const std::string& windowsPath) const;
    /// The FILETIME of a date and time (UTC).
    static std::int64_t FileTimeOf(int year, int month, int day, int hour, int minute = 0, int second = 0);

private:
    TempFolder prefix_;
    tl::Machine* machine_;
    std::unique_ptr<tl::ScopedMachine> scope_;
    // Last, so that the test's connections close while its machine is still there.
    tl::ScopedRunState runState_;
};

} // namespace tltest
