#pragma once

class CSetupSheet;

/// Where Windows' list of installed programs finds the uninstaller, below HKEY_LOCAL_MACHINE.
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallymar";

/// Makes the uninstaller known: creates or opens the uninstall key and sets DisplayName
/// "Tallydesk" and UninstallString, the short form of installDirectory + "\TLMUINST.exe". A key
/// that cannot be created (no administrative rights) is passed over without a word. Hides the
/// progress window either way.
void RegisterUninstaller(const CSetupSheet& sheet);
