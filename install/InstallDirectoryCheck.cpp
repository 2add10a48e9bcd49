#include "install/InstallDirectoryCheck.h"

#include "app/UserInterface.h"
#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/PathHelpers.h"
#include "platform/WinTypes.h"
#include "resources/StringTable.h"

std::string DefaultInstallDirectory() {
    std::string programFiles;
    if (!win::SHGetSpecialFolderPath(win::CSIDL_PROGRAM_FILES, programFiles, false))
        return {};
    return programFiles + "\\Fenmore Software\\Tallymar";
}

bool InstallDirectoryCheck::Run(const std::string& path) {
    if (!tl::IsLocalHardDrive(path)) {
        AppMessageBox(tl::LoadString(IDS_INSTALL_DIR_NOT_LOCAL), win::MB_OK | win::MB_ICONSTOP);
        return false;
    }
    if (!tl::PathExists(path) && !creationConfirmed_) {
        const std::string question =
            tl::Format(tl::LoadString(IDS_CONFIRM_CREATE_FOLDER).c_str(), path.c_str());
        if (AppMessageBox(question, win::MB_YESNO | win::MB_ICONINFORMATION) != win::IDYES)
            return false;
        creationConfirmed_ = true;
    }
    return true;
}
