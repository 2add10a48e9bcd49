#include "app/ProfileSettings.h"

#include "app/AppConstants.h"

std::string GetProfileString(const std::string& entry, const std::string& defaultValue) {
    win::RegKey key;
    if (win::RegOpenKeyEx(win::HKEY_CURRENT_USER, kSettingsKey, false, key) != 0)
        return defaultValue;
    DWORD type = 0;
    std::string data;
    if (win::RegQueryValueEx(key, entry, &type, &data) != 0 ||
        (type != win::REG_SZ && type != win::REG_EXPAND_SZ))
        return defaultValue;
    // The stored bytes end with the terminating zero; the text stops at the first zero.
    return data.substr(0, data.find('\0'));
}

int GetProfileInt(const std::string& entry, int defaultValue) {
    win::RegKey key;
    if (win::RegOpenKeyEx(win::HKEY_CURRENT_USER, kSettingsKey, false, key) != 0)
        return defaultValue;
    DWORD type = 0;
    std::string data;
    if (win::RegQueryValueEx(key, entry, &type, &data) != 0 || type != win::REG_DWORD || data.size() != 4)
        return defaultValue;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    return static_cast<int>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                            (static_cast<DWORD>(bytes[3]) << 24));
}

LONG GetSectionKey(win::RegKey& key) {
    return win::RegCreateKeyEx(win::HKEY_CURRENT_USER, kSettingsKey, key);
}

LONG CreateMachineSettingsKey(win::RegKey& key, DWORD* disposition) {
    return win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, kSettingsKey, key, disposition);
}

void WriteInstallSettings(const win::RegKey& key, const InstallSettings& settings) {
    win::RegSetString(key, "HomeDirectory", settings.homeDirectory);
    win::RegSetString(key, "InstallDirectory", settings.installDirectory);
    win::RegSetDword(key, "InstallType", static_cast<DWORD>(settings.installType));
    win::RegSetDword(key, "DatabaseLevel", static_cast<DWORD>(settings.databaseLevel));
    win::RegSetMultiString(key, "States", settings.states);
    win::RegSetDword(key, "UpdateLevel", static_cast<DWORD>(settings.updateLevel));
}

void WriteUpdateSettings(const win::RegKey& key, const std::string& installDirectory, int installType,
                         const std::vector<std::string>& states) {
    win::RegSetString(key, "InstallDirectory", installDirectory);
    win::RegSetDword(key, "InstallType", static_cast<DWORD>(installType));
    win::RegSetMultiString(key, "States", states);
}

void WriteUpdateShadowCopy(const win::RegKey& key, const std::string& homeDirectory,
                           const std::string& installDirectory, int installType, int databaseLevel,
                           const std::vector<std::string>& states) {
    win::RegSetString(key, "m_homedir", homeDirectory);
    win::RegSetString(key, "HomeDirectory", homeDirectory);
    win::RegSetString(key, "InstallDirectory", installDirectory);
    win::RegSetDword(key, "InstallType", static_cast<DWORD>(installType));
    win::RegSetDword(key, "DatabaseLevel", static_cast<DWORD>(databaseLevel));
    win::RegSetMultiString(key, "States", states);
}

void WriteLevels(const win::RegKey& key, int updateLevel, int databaseLevel) {
    win::RegSetDword(key, "UpdateLevel", static_cast<DWORD>(updateLevel));
    win::RegSetDword(key, "DatabaseLevel", static_cast<DWORD>(databaseLevel));
}
