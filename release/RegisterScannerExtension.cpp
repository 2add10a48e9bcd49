#include "release/RegisterScannerExtension.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "platform/FileApi.h"
#include "platform/PathHelpers.h"
#include "platform/Registry.h"

void RegisterScannerExtension(CSetupSheet& sheet) {
    win::RegKey key;
    if (win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, kScannerExtensionKey, key) != 0) {
        AppMessageBox("Unable to open or create ScanSnap registry key", win::MB_OK | win::MB_ICONERROR);
        return;
    }
    std::string temp = win::GetTempPath();
    if (!temp.empty())
        temp.pop_back(); // its trailing backslash
    const std::pair<const char*, std::string> values[] = {
        {"", sheet.installDirectory + "\\Tallymar.exe"},
        {"Config", tl::GetLocalAppDataDir() + "tlmscanx.ini"},
        {"Path", temp},
    };
    for (const auto& [name, value] : values) {
        if (win::RegSetString(key, name, value) != 0)
            AppMessageBox("Error setting ScanSnap parameters", win::MB_OK | win::MB_ICONERROR);
    }
    win::RegCloseKey(key);
}
