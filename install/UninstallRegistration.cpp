#include "install/UninstallRegistration.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "platform/FileApi.h"
#include "platform/Registry.h"

void RegisterUninstaller(const CSetupSheet& sheet) {
    win::RegKey key;
    if (win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, kUninstallKey, key) != 0) {
        TheUserInterface().HideProgress();
        return;
    }
    win::RegSetString(key, "DisplayName", "Tallydesk");
    win::RegSetString(key, "UninstallString",
                      win::GetShortPathName(sheet.installDirectory + "\\TLMUINST.exe"));
    win::RegCloseKey(key);
    TheUserInterface().HideProgress();
}
