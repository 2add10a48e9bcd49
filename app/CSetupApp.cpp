#include "app/CSetupApp.h"

#include "app/AppConstants.h"
#include "app/AppGlobals.h"
#include "app/ProfileSettings.h"
#include "app/UserInterface.h"
#include "platform/WinTypes.h"
#include "xml/XmlDocument.h"

CSetupApp::CSetupApp(ModeEntry runFullInstall, ModeEntry runUpdate)
    : runFullInstall_(std::move(runFullInstall)), runUpdate_(std::move(runUpdate)) {}

bool CSetupApp::InitInstance() {
    // COM and the three-dimensional control look have no counterpart here.
    registryKey_ = kRegistryKeyName;
    appName_ = kAppName;
    profileName_ = kProfileName;
    InitFileServerUrl();
    // XML documents that ask for it show their parse errors to the user.
    XmlDocument::SetMessageBoxHook(
        [](const std::string& text) { AppMessageBox(text, win::MB_OK | win::MB_ICONERROR); });

    // Only the per-user value decides; the machine-wide copy is never probed, so a user who never
    // ran setup gets a first installation even where another user installed the product.
    const std::string homeDirectory = GetProfileString("HomeDirectory", "");
    if (!homeDirectory.empty()) {
        mode_ = Mode::Update;
        result_ = runUpdate_ ? runUpdate_(0) : 0;
    } else {
        mode_ = Mode::FullInstall;
        result_ = runFullInstall_ ? runFullInstall_(0) : 0;
    }
    return false;
}
