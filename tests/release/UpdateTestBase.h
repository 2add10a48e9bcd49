#pragma once

#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "release/FetchUrl.h"
#include "tests/release/LoopbackServer.h"
#include "tests/support/TestMachine.h"

#include <string>
#include <vector>

namespace tltest {

/// Lists release keys (64 hexadecimal digits each) in the machine-wide settings' TrustedReleaseKeys,
/// as an administrator does.
void TrustReleaseKeys(const std::vector<std::string>& keys);

/// A machine, a file server on the loopback interface that theFileServerUrl points to, a scripted
/// user interface and an update sheet with its log open.
class UpdateTestBase : public MachineTest {
protected:
    static constexpr const char* kInstallDirectory = "C:\\Program Files\\Fenmore Software\\Tallymar";
    static constexpr const char* kHomeDirectory = "C:\\TallymarData";

    UpdateTestBase();
    ~UpdateTestBase() override;

    /// Log lines of this run without their time stamps.
    std::vector<std::string> LogLines();
    /// Texts of the message boxes shown.
    std::vector<std::string> Messages() const { return ui.MessageTexts(); }
    /// Names of the files in a folder of the machine (hidden ones included), sorted.
    std::vector<std::string> FolderContents(const std::string& windowsFolder);

    /// The pauses between the attempts of a transfer, in milliseconds: recorded, not waited.
    std::vector<long> pauses;
    LoopbackServer server;
    ScopedScriptedUserInterface ui;
    CSetupSheet sheet{CSetupSheet::kUpdateCaptionId};
};

} // namespace tltest
