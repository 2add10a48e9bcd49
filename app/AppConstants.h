#pragma once

// Names the program is known by: the registry key of its settings, its caption.

inline constexpr char kRegistryKeyName[] = "Fenmore Software";
inline constexpr char kProfileName[] = "Tallymar";
inline constexpr char kAppName[] = "Tallymar Setup";

/// Per-user settings key under HKEY_CURRENT_USER and its machine-wide copy under
/// HKEY_LOCAL_MACHINE; the product key is what the uninstaller removes.
inline constexpr char kProductKey[] = "Software\\Fenmore Software\\Tallymar";
inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kSettingsKey[] = "Software\\Fenmore Software\\Tallymar\\Settings";
