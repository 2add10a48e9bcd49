#include "install/HomeDirectory.h"

#include "app/CSetupSheet.h"
#include "app/ProfileSettings.h"
#include "app/UserInterface.h"
#include "install/AccessEntry.h"
#include "install/CreateDatabases.h"
#include "install/InstallType.h"
#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/NetApi.h"
#include "platform/PathHelpers.h"
#include "platform/TextUtil.h"

#include <vector>

namespace {

constexpr char kUsersGroup[] = "Users";

// The network user's record: a normal account whose password, the master password, never expires.
DWORD AddNetworkUser(const CSetupSheet& sheet) {
    win::USER_INFO_1 user;
    user.usri1_name = sheet.networkUserName;
    user.usri1_password = sheet.masterPassword;
    user.usri1_password_age = 0;
    user.usri1_priv = win::USER_PRIV_USER;
    user.usri1_comment = "Tallymar network user";
    user.usri1_flags = win::UF_NORMAL_ACCOUNT | win::UF_DONT_EXPIRE_PASSWD;
    DWORD parmError = 0;
    const DWORD status = win::NetUserAdd("", 1, user, &parmError);
    tl::WipeString(user.usri1_password);
    if (status == win::NERR_UserExists)
        return win::NERR_Success; // its password and groups stay as they are
    if (status != win::NERR_Success)
        return status;
    const std::vector<win::LOCALGROUP_MEMBERS_INFO_3> members = {{sheet.networkUserName}};
    return win::NetLocalGroupAddMembers("", kUsersGroup, 3, members);
}

// The user's SID in text form, asked for the sizes first as the lookup's protocol wants.
DWORD LookUpUserSid(const CSetupSheet& sheet, std::string& sidText) {
    DWORD sidSize = 0;
    DWORD domainSize = 0;
    win::SID_NAME_USE use{};
    if (win::LookupAccountNameA("", sheet.networkUserName, nullptr, &sidSize, nullptr, &domainSize, &use) ||
        win::GetLastError() != win::ERROR_INSUFFICIENT_BUFFER)
        return win::GetLastError();
    std::vector<std::uint8_t> sid(sidSize);
    std::string domain(domainSize, '\0');
    if (!win::LookupAccountNameA("", sheet.networkUserName, sid.data(), &sidSize, domain.data(), &domainSize,
                                 &use))
        return win::GetLastError();
    if (!win::ConvertSidToStringSidA(sid.data(), sidText))
        return win::GetLastError();
    return win::ERROR_SUCCESS;
}

DWORD ReadDaclText(const std::string& folder, std::string& text) {
    win::SECURITY_DESCRIPTOR descriptor;
    if (const DWORD status = win::GetNamedSecurityInfoA(folder, win::SE_FILE_OBJECT,
                                                        win::DACL_SECURITY_INFORMATION, descriptor))
        return status;
    if (!win::ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, win::SDDL_REVISION_1,
                                                                   win::DACL_SECURITY_INFORMATION, text))
        return win::GetLastError();
    return win::ERROR_SUCCESS;
}

DWORD WriteDaclText(const std::string& folder, const std::string& text) {
    win::SECURITY_DESCRIPTOR descriptor;
    if (!win::ConvertStringSecurityDescriptorToSecurityDescriptorA(text, win::SDDL_REVISION_1, descriptor))
        return win::GetLastError();
    bool present = false;
    bool defaulted = false;
    const win::ACL* dacl = nullptr;
    if (!win::GetSecurityDescriptorDacl(descriptor, present, dacl, defaulted))
        return win::GetLastError();
    return win::SetNamedSecurityInfoA(folder, win::SE_FILE_OBJECT, win::DACL_SECURITY_INFORMATION, dacl);
}

DWORD ShareHomeDirectory(const CSetupSheet& sheet) {
    win::SHARE_INFO_2 share;
    share.shi2_netname = sheet.shareName;
    share.shi2_type = win::STYPE_DISKTREE;
    share.shi2_remark = "Tallymar Home Directory";
    share.shi2_permissions = win::ACCESS_ALL;
    share.shi2_max_uses = win::SHI_USES_UNLIMITED;
    share.shi2_current_uses = 0;
    share.shi2_path = sheet.homeDirectory;
    share.shi2_passwd = sheet.masterPassword;
    DWORD parmError = 0;
    const DWORD status = win::NetShareAdd("", 2, share, &parmError);
    tl::WipeString(share.shi2_passwd);
    return status == win::NERR_DuplicateShare ? win::NERR_Success : status;
}

void Fail(CSetupSheet& sheet, const std::string& message) {
    sheet.Log("**** %s", message.c_str());
    AppMessageBox(message, win::MB_OK | win::MB_ICONSTOP);
}

bool CreateHomeFolder(CSetupSheet& sheet) {
    if (tl::PathExists(sheet.homeDirectory) || tl::CreateDirectoryPath(sheet.homeDirectory + "\\foo"))
        return true;
    Fail(sheet, tl::Format("Unable to create home directory '%s'", sheet.homeDirectory.c_str()));
    return false;
}

bool CreateHomeDatabases(CSetupSheet& sheet, const std::string& uncPath) {
    UserInterface& ui = TheUserInterface();
    ui.ShowProgress("Tallymar Setup", "");
    const char* failure = nullptr;
    if (!CreateMainDatabase(sheet, uncPath))
        failure = "Setup was unable to create the main Tallymar database";
    else if (!CreateCreditorNamesDatabase(sheet, uncPath))
        failure = "Setup was unable to create the creditor database";
    ui.HideProgress();
    if (failure != nullptr)
        Fail(sheet, failure);
    return failure == nullptr;
}

void WriteSettings(CSetupSheet& sheet, const std::string& uncPath) {
    InstallSettings settings;
    settings.homeDirectory = uncPath;
    settings.installDirectory = sheet.installDirectory;
    settings.installType = sheet.installType;
    settings.databaseLevel = sheet.manifestObjects.empty() ? 0 : sheet.manifestObjects.front()->DatabaseLevel;
    settings.states = sheet.states;
    settings.updateLevel = sheet.updateLevel;
    win::RegKey user;
    if (const LONG error = GetSectionKey(user); error != 0) {
        sheet.Log("Error trying to open Settings key -- %d", static_cast<int>(error));
        return;
    }
    WriteInstallSettings(user, settings);
    win::RegCloseKey(user);
    sheet.Log("State support chosen:");
    for (const std::string& state : sheet.states)
        sheet.Log("    %s", state.c_str());
    // Without administrative rights there is no machine-wide copy, and nothing is said about it.
    win::RegKey machine;
    if (CreateMachineSettingsKey(machine) != 0)
        return;
    WriteInstallSettings(machine, settings);
    win::RegCloseKey(machine);
    sheet.Log("Created HKLM shadow copy of settings key");
}

} // namespace

std::string HomeDirectoryUncPath(const CSetupSheet& sheet) {
    if (sheet.installType == kInstallSharedFilesElsewhere)
        return sheet.homeDirectory;
    return tl::Format("\\\\%s\\%s", win::GetComputerName().c_str(), sheet.shareName.c_str());
}

DWORD GrantNetworkAccess(const CSetupSheet& sheet) {
    std::string dacl;
    std::string userSid;
    if (const DWORD status = ReadDaclText(sheet.homeDirectory, dacl))
        return status;
    if (const DWORD status = AddNetworkUser(sheet))
        return status;
    if (const DWORD status = LookUpUserSid(sheet, userSid))
        return status;
    const std::string newDacl = InsertAccessEntry(dacl, NetworkUserAccessEntry(userSid));
    if (const DWORD status = WriteDaclText(sheet.homeDirectory, newDacl))
        return status;
    return ShareHomeDirectory(sheet);
}

bool SetupHomeDirectory(CSetupSheet& sheet) {
    const bool sharedFilesHere = sheet.installType != kInstallSharedFilesElsewhere;
    if (sharedFilesHere) {
        if (!CreateHomeFolder(sheet))
            return false;
        if (const DWORD status = GrantNetworkAccess(sheet)) {
            Fail(sheet, tl::Format("Error creating user or network share - %d", static_cast<int>(status)));
            return false;
        }
    }
    const std::string uncPath = HomeDirectoryUncPath(sheet);
    sheet.Log("Home directory is named %s", uncPath.c_str());
    if (sharedFilesHere && !CreateHomeDatabases(sheet, uncPath))
        return false;
    WriteSettings(sheet, uncPath);
    return true;
}
