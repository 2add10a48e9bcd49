#include "tools/uninstall/HomeDirectory.h"

#include "app/AppConstants.h"
#include "platform/LocalShares.h"
#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"
#include "tools/uninstall/MachineFolders.h"
#include "tools/uninstall/UninstallNames.h"

namespace tl::uninstall {

namespace {

std::string SettingsHomeDirectory(win::HKEY_ROOT root) {
    win::RegKey key;
    if (win::RegOpenKeyEx(root, kSettingsKey, false, key) != 0)
        return {};
    DWORD type = 0;
    std::string data;
    if (win::RegQueryValueEx(key, kHomeDirectoryValue, &type, &data) != 0 || type != win::REG_SZ)
        return {};
    if (const std::size_t zero = data.find('\0'); zero != std::string::npos)
        data.resize(zero);
    return data;
}

// "\\SERVER\SHARE" of the first entry that is a UNC path of this computer.
std::string ShareOfEntries(const std::vector<ManifestEntry>& entries) {
    for (const ManifestEntry& entry : entries) {
        if (entry.kind != ManifestEntry::Kind::DeleteFile)
            continue;
        const auto parsed = ParseWindowsPath(entry.text);
        if (parsed && parsed->kind == WindowsPath::Kind::Unc &&
            IsThisComputer(parsed->server, Machine::Current()) && parsed->share.back() != '$')
            return "\\\\" + parsed->server + "\\" + parsed->share;
    }
    return {};
}

} // namespace

HomeDirectory ResolveHomeDirectory(const std::string& named) {
    HomeDirectory home;
    home.named = named;
    const auto parsed = ParseWindowsPath(named);
    if (!parsed)
        return home;
    const Machine& machine = Machine::Current();
    if (parsed->kind == WindowsPath::Kind::Unc) {
        if (!IsThisComputer(parsed->server, machine))
            return home;
        const auto share = FindLocalShare(parsed->share);
        if (!share)
            return home;
        home.shareName = share->name;
        home.localPath = share->path;
        for (const std::string& part : parsed->components)
            home.localPath += "\\" + part;
    } else {
        home.localPath = named;
        for (const ShareInfo& share : ListLocalShares()) {
            if (EqualsNoCase(share.path, named))
                home.shareName = share.name;
        }
    }
    if (const auto host = MapToHostPath(home.localPath, machine))
        home.host = CanonicalHostPath(*host);
    else
        home.localPath.clear();
    return home;
}

HomeDirectory FindHomeDirectory(const std::vector<ManifestEntry>& entries) {
    for (const std::string& named :
         {SettingsHomeDirectory(win::HKEY_CURRENT_USER), SettingsHomeDirectory(win::HKEY_LOCAL_MACHINE),
          ShareOfEntries(entries)}) {
        if (!named.empty())
            return ResolveHomeDirectory(named);
    }
    return {};
}

} // namespace tl::uninstall
