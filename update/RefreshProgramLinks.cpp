#include "update/RefreshProgramLinks.h"

#include "app/CSetupSheet.h"
#include "platform/FileApi.h"
#include "release/ShellShortcut.h"

#include <cstdint>

namespace {

void RefreshLink(CSetupSheet& sheet, int csidl) {
    const std::string& installDirectory = sheet.installDirectory;
    std::string folder;
    win::HRESULT result = kNoShellFolder;
    if (win::SHGetSpecialFolderPath(csidl, folder, true)) {
        const std::string linkPath = ShortcutPath(folder, csidl, kShortcutName);
        win::DeleteFile(linkPath); // absent is as good as deleted
        result = WriteShellLink(installDirectory + "\\TlSplash.exe", kShortcutName, linkPath);
    }
    if (result == win::S_OK)
        sheet.Log("Setup created a desktop shortcut to %s\\TlSplash.exe", installDirectory.c_str());
    else
        sheet.Log("Error %8.8lX trying to create a desktop shortcut to %s\\TlSplash.exe",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(result)), installDirectory.c_str());
}

} // namespace

void RefreshProgramLinks(CSetupSheet& sheet) {
    RefreshLink(sheet, win::CSIDL_COMMON_PROGRAMS);
    RefreshLink(sheet, win::CSIDL_DESKTOPDIRECTORY);
}
