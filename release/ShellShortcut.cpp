#include "release/ShellShortcut.h"

#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/PathHelpers.h"

std::string ShortcutPath(const std::string& folder, int csidl, const std::string& name) {
    if (csidl == win::CSIDL_DESKTOPDIRECTORY)
        return tl::Format("%s\\%s.lnk", folder.c_str(), name.c_str());
    return tl::Format("%s\\%s\\%s.lnk", folder.c_str(), kShortcutName, name.c_str());
}

win::HRESULT WriteShellLink(const std::string& target, const std::string& name, const std::string& linkPath) {
    // A folder that cannot be made shows in the save's error.
    tl::CreateDirectoryPath(linkPath);
    win::ShellLink link;
    win::HRESULT result = link.SetPath(target);
    if (result == win::S_OK)
        result = link.SetDescription(name);
    if (result == win::S_OK)
        result = link.Save(linkPath, true);
    return result;
}
