#pragma once

#include "platform/Registry.h"

#include <string>
#include <vector>

// The settings store: the per-user key "Software\Fenmore Software\Tallymar\Settings" under
// HKEY_CURRENT_USER and its machine-wide copy under HKEY_LOCAL_MACHINE. It is the only memory that
// connects a first installation with later updates and with the product itself.

/// A REG_SZ value of the per-user settings, or defaultValue when the key, the value or its type
/// is missing.
std::string GetProfileString(const std::string& entry, const std::string& defaultValue);

/// A REG_DWORD value of the per-user settings, or defaultValue.
int GetProfileInt(const std::string& entry, int defaultValue);

/// Opens the per-user settings key for writing, creating it when absent. Returns ERROR_SUCCESS
/// or the registry's error code (the key is then closed).
LONG GetSectionKey(win::RegKey& key);

/// Creates or opens the machine-wide settings key; *disposition tells which. ERROR_ACCESS_DENIED
/// for a user who may not change HKEY_LOCAL_MACHINE.
LONG CreateMachineSettingsKey(win::RegKey& key, DWORD* disposition = nullptr);

/// The values a first installation writes, per user and in the machine-wide copy alike.
struct InstallSettings {
    std::string homeDirectory;
    std::string installDirectory;
    int installType = 0;
    int databaseLevel = 0;
    std::vector<std::string> states;
    int updateLevel = 0;
};

/// Writes HomeDirectory, InstallDirectory, InstallType, DatabaseLevel, States and UpdateLevel, in
/// that order. A value that cannot be set is skipped; the others are still written.
void WriteInstallSettings(const win::RegKey& key, const InstallSettings& settings);

/// The values the update brings up to date under the per-user key: InstallDirectory, InstallType,
/// States.
void WriteUpdateSettings(const win::RegKey& key, const std::string& installDirectory, int installType,
                         const std::vector<std::string>& states);

/// The update's machine-wide copy, written only into a key it has just created: m_homedir, and the
/// same text as HomeDirectory (the name the first installation's copy uses), InstallDirectory,
/// InstallType, DatabaseLevel, States.
void WriteUpdateShadowCopy(const win::RegKey& key, const std::string& homeDirectory,
                           const std::string& installDirectory, int installType, int databaseLevel,
                           const std::vector<std::string>& states);

/// The levels the database upgrade records: UpdateLevel, then DatabaseLevel.
void WriteLevels(const win::RegKey& key, int updateLevel, int databaseLevel);
