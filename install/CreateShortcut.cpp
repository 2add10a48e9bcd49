#include "install/CreateShortcut.h"

#include "app/CSetupSheet.h"
#include "platform/FileApi.h"

#include <cstdint>

bool CreateShortcut(CSetupSheet& sheet, const std::string& target, int csidl, const std::string& name) {
    std::string folder;
    win::HRESULT result = kNoShellFolder;
    if (win::SHGetSpecialFolderPath(csidl, folder, true)) {
        const std::string linkPath = ShortcutPath(folder, csidl, name);
        sheet.AddDeleteFile(linkPath);
        if (csidl != win::CSIDL_DESKTOPDIRECTORY)
            sheet.AddDeleteFile(folder + "\\" + kShortcutName);
        result = WriteShellLink(target, name, linkPath);
    }
    if (result == win::S_OK)
        sheet.Log("Setup created a desktop shortcut to %s named %s", target.c_str(), name.c_str());
    else
        sheet.Log("**** Error %8.8lX trying to create a desktop shortcut to %s named %s",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(result)), target.c_str(),
                  name.c_str());
    return true;
}
