#include "install/CreateShortcut.h"

#include "app/CSetupSheet.h"
#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/PathHelpers.h"
#include "platform/ShellLink.h"

namespace {

constexpr win::HRESULT kNoShellFolder = static_cast<win::HRESULT>(0x80004005u); // E_FAIL

win::HRESULT SaveLink(const std::string& target, const std::string& name, const std::string& linkPath) {
    win::ShellLink link;
    win::HRESULT result = link.SetPath(target);
    if (result == win::S_OK)
        result = link.SetDescription(name);
    if (result == win::S_OK)
        result = link.Save(linkPath, true);
    return result;
}

} // namespace

std::string ShortcutPath(const std::string& folder, int csidl, const std::string& name) {
    if (csidl == win::CSIDL_DESKTOPDIRECTORY)
        return tl::Format("%s\\%s.lnk", folder.c_str(), name.c_str());
    return tl::Format("%s\\%s\\%s.lnk", folder.c_str(), kShortcutName, name.c_str());
}

bool CreateShortcut(CSetupSheet& sheet, const std::string& target, int csidl, const std::string& name) {
    std::string folder;
    win::HRESULT result = kNoShellFolder;
    if (win::SHGetSpecialFolderPath(csidl, folder, true)) {
        const std::string linkPath = ShortcutPath(folder, csidl, name);
        sheet.AddDeleteFile(linkPath);
        if (csidl != win::CSIDL_DESKTOPDIRECTORY)
            sheet.AddDeleteFile(folder + "\\" + kShortcutName);
        tl::CreateDirectoryPath(linkPath);
        result = SaveLink(target, name, linkPath);
    }
    if (result == win::S_OK)
        sheet.Log("Setup created a desktop shortcut to %s named %s", target.c_str(), name.c_str());
    else
        sheet.Log("**** Error %8.8lX trying to create a desktop shortcut to %s named %s",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(result)), target.c_str(),
                  name.c_str());
    return true;
}
