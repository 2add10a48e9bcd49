#include "install/FindMasterComputer.h"

#include "app/AppConstants.h"
#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/NetEnum.h"
#include "platform/PathHelpers.h"

#include <optional>
#include <vector>

namespace {

// The first disk share of a computer, in enumeration order, that holds the main database.
std::optional<std::string> FindMainDatabaseShare(const std::string& computer) {
    std::vector<win::SHARE_INFO_1> shares;
    if (win::NetShareEnum(computer, 1, shares) != win::NERR_Success)
        return std::nullopt;
    for (const win::SHARE_INFO_1& share : shares) {
        if (share.shi1_type != win::STYPE_DISKTREE)
            continue;
        const std::string database =
            tl::Format("\\\\%s\\%s\\%s", computer.c_str(), share.shi1_netname.c_str(), kMainDatabaseFile);
        if (tl::PathExists(database))
            return tl::Format("\\\\%s\\%s", computer.c_str(), share.shi1_netname.c_str());
    }
    return std::nullopt;
}

std::optional<std::string> SearchNetwork() {
    std::vector<win::SERVER_INFO_101> computers;
    if (win::NetServerEnum("", 101, computers, win::SV_TYPE_WORKSTATION, "") != win::NERR_Success)
        return std::nullopt;
    for (const win::SERVER_INFO_101& computer : computers) {
        if (auto found = FindMainDatabaseShare(computer.sv101_name))
            return found;
    }
    return std::nullopt;
}

} // namespace

std::string DefaultLocalHomeDirectory() {
    std::string documents;
    if (!win::SHGetSpecialFolderPath(win::CSIDL_COMMON_DOCUMENTS, documents, false))
        return {};
    if (documents.find(' ') == std::string::npos)
        return documents + "\\" + kDefaultShareName;
    return documents.substr(0, 2) + "\\" + kDefaultShareName;
}

void FindMasterComputer(const CSetupSheet& sheet, std::string& path, bool& sharedFilesHere) {
    if (sheet.GetChoice(kChoiceSharedFilesElsewhere) == 0) {
        sharedFilesHere = true;
        if (std::string local = DefaultLocalHomeDirectory(); !local.empty())
            path = std::move(local);
        return;
    }
    sharedFilesHere = false;
    UserInterface& ui = TheUserInterface();
    ui.BeginWaitCursor();
    ui.ShowProgress(kAppName, "Searching for master computer...");
    const std::optional<std::string> found = SearchNetwork();
    ui.HideProgress();
    ui.EndWaitCursor();
    if (found)
        path = *found;
}
