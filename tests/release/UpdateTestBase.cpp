#include "tests/release/UpdateTestBase.h"

#include "app/AppConstants.h"
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "release/TrustedReleaseKeys.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace tltest {

void TrustReleaseKeys(const std::vector<std::string>& keys) {
    win::RegKey settings;
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, kSettingsKey, settings), 0);
    ASSERT_EQ(win::RegSetMultiString(settings, kTrustedReleaseKeysValue, keys), 0);
}

UpdateTestBase::UpdateTestBase() {
    theFileServerUrl = server.BaseUrl();
    SetTransferLimitsForTesting(TransferLimits{1024 * 1024, 5, 1});
    tl::SetSleepForTesting([this](std::chrono::milliseconds pause) { pauses.push_back(pause.count()); });
    // Whatever keys the build trusts, these tests trust only those they name.
    SetBuiltInReleaseKeysForTesting(std::vector<std::string>{});
    sheet.installDirectory = kInstallDirectory;
    sheet.homeDirectory = kHomeDirectory;
    sheet.OpenLog();
}

UpdateTestBase::~UpdateTestBase() {
    tl::SetSleepForTesting({});
    SetTransferLimitsForTesting(std::nullopt);
}

std::vector<std::string> UpdateTestBase::LogLines() {
    std::istringstream log(ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t stamp = line.find(" - ");
        lines.push_back(stamp == std::string::npos ? line : line.substr(stamp + 3));
    }
    return lines;
}

std::vector<std::string> UpdateTestBase::FolderContents(const std::string& windowsFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Host(windowsFolder), error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tltest
