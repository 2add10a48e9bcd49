#include "install/InstallProductFiles.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "install/CreateShortcut.h"
#include "install/InstallType.h"
#include "install/UninstallRegistration.h"
#include "platform/FileTime.h"
#include "platform/PathHelpers.h"
#include "platform/TextUtil.h"
#include "release/DownloadFile.h"
#include "release/RegisterScannerExtension.h"
#include "release/TargetFolders.h"

#include <cstdio>

namespace {

constexpr char kScannerConfiguration[] = "tlmscanx.ini";

// Obsolete files are never installed, and the shared files of another computer are not ours.
bool IsSkipped(const CSetupSheet& sheet, std::int32_t flags) {
    if ((flags & FlagObsolete) != 0)
        return true;
    return FolderKindFromFlags(flags) == FolderHome && sheet.installType == kInstallSharedFilesElsewhere;
}

// A first installation installs what is to be installed when absent, and the chosen states' modules.
bool IsWanted(const CSetupSheet& sheet, std::int32_t flags, const std::string& state) {
    if ((flags & FlagInstallIfAbsent) != 0)
        return true;
    return (flags & FlagStateModule) != 0 && IsStateSelected(sheet, state);
}

void InstallModules(CSetupSheet& sheet, const XCurrentVersion& manifest, int& failed) {
    for (const auto& module : manifest.Modules) {
        if (IsSkipped(sheet, module->Flags) || !IsWanted(sheet, module->Flags, module->State))
            continue;
        if (!DownloadFile(sheet, module->Name, FolderKindFromFlags(module->Flags), -1, module->Size,
                          module->Sha256))
            ++failed;
    }
}

void InstallSupportFiles(CSetupSheet& sheet, const XCurrentVersion& manifest, int& failed) {
    for (const auto& file : manifest.SupportFiles) {
        if (IsSkipped(sheet, file->Flags))
            continue;
        const bool scannerConfiguration = tl::EqualsNoCase(file->Name, kScannerConfiguration);
        if (!scannerConfiguration && !IsWanted(sheet, file->Flags, file->State))
            continue;
        if (!DownloadFile(sheet, file->Name, FolderKindFromFlags(file->Flags), SupportFileTime(*file),
                          file->Size, file->Sha256))
            ++failed;
        if (scannerConfiguration)
            RegisterScannerExtension(sheet);
    }
}

void CreateShortcuts(CSetupSheet& sheet) {
    std::string program = sheet.installDirectory + "\\TlSplash.exe";
    if (!tl::PathExists(program))
        program = sheet.installDirectory + "\\Tallymar.exe";
    CreateShortcut(sheet, program, win::CSIDL_COMMON_PROGRAMS, kShortcutName);
    CreateShortcut(sheet, program, win::CSIDL_DESKTOPDIRECTORY, kShortcutName);
    CreateShortcut(sheet, sheet.homeDirectory, win::CSIDL_DESKTOPDIRECTORY, sheet.shareName);
}

} // namespace

std::int64_t SupportFileTime(const XSupportFile& file) {
    int month = 0;
    int day = 0;
    int year = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (!file.Date.GetParts(month, day, year))
        return -1;
    std::sscanf(file.Time.c_str(), "%d:%d:%d", &hours, &minutes, &seconds);
    win::SYSTEMTIME time;
    time.wYear = static_cast<win::WORD>(year);
    time.wMonth = static_cast<win::WORD>(month);
    time.wDay = static_cast<win::WORD>(day);
    time.wHour = static_cast<win::WORD>(hours);
    time.wMinute = static_cast<win::WORD>(minutes);
    time.wSecond = static_cast<win::WORD>(seconds);
    std::int64_t fileTime = -1;
    if (hours < 0 || minutes < 0 || seconds < 0 || !win::SystemTimeToFileTime(time, fileTime))
        return -1;
    return fileTime;
}

bool InstallProductFiles(CSetupSheet& sheet, int& failedFiles) {
    failedFiles = 0;
    TheUserInterface().ShowProgress("Tallymar Setup", "");
    if (!sheet.manifestObjects.empty()) {
        InstallModules(sheet, *sheet.manifestObjects.front(), failedFiles);
        InstallSupportFiles(sheet, *sheet.manifestObjects.front(), failedFiles);
    }
    sheet.AddDeleteFile(sheet.installDirectory + "\\TLMUINST.XML");
    CreateShortcuts(sheet);
    RegisterUninstaller(sheet);
    if (failedFiles == 0)
        return true;
    sheet.Log("**** %d product files could not be downloaded", failedFiles);
    return false;
}
