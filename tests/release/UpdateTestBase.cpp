#include "tests/release/UpdateTestBase.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace tltest {

UpdateTestBase::UpdateTestBase() {
    theFileServerUrl = server.BaseUrl();
    SetTransferLimitsForTesting(TransferLimits{1024 * 1024, 5, 1});
    sheet.installDirectory = kInstallDirectory;
    sheet.homeDirectory = kHomeDirectory;
    sheet.OpenLog();
}

UpdateTestBase::~UpdateTestBase() {
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
