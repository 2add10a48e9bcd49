#include "app/CSetupApp.h"

#include "app/AppConstants.h"
#include "app/AppGlobals.h"
#include "app/ScriptedUserInterface.h"
#include "platform/Registry.h"
#include "tests/support/TestMachine.h"
#include "xml/XmlDocument.h"

#include <cstdlib>

using namespace win;

namespace {

class StartUp : public tltest::MachineTest {
protected:
    // Runs start-up with recording entry points; returns the mode chosen.
    CSetupApp::Mode Start() {
        CSetupApp app(
            [this](int argument) {
                calls.push_back("install(" + std::to_string(argument) + ")");
                return 1;
            },
            [this](int argument) {
                calls.push_back("update(" + std::to_string(argument) + ")");
                return 1;
            });
        EXPECT_FALSE(app.InitInstance()) << "start-up always ends the program";
        EXPECT_EQ(app.AppName(), "Tallymar Setup");
        EXPECT_EQ(app.RegistryKey(), "Fenmore Software");
        EXPECT_EQ(app.ProfileName(), "Tallymar");
        return app.ChosenMode();
    }

    static void SetHomeDirectory(HKEY_ROOT root, const std::string& value) {
        RegKey key;
        ASSERT_EQ(RegCreateKeyEx(root, kSettingsKey, key), 0);
        ASSERT_EQ(RegSetString(key, "HomeDirectory", value), 0);
    }

    std::vector<std::string> calls;
};

} // namespace

TEST_F(StartUp, NoSettingsMeansFirstInstallation) {
    EXPECT_EQ(Start(), CSetupApp::Mode::FullInstall);
    EXPECT_EQ(calls, std::vector<std::string>{"install(0)"});
}

TEST_F(StartUp, PerUserHomeDirectoryMeansUpdate) {
    SetHomeDirectory(HKEY_CURRENT_USER, "\\\\TESTPC\\BankruptcyCases");
    EXPECT_EQ(Start(), CSetupApp::Mode::Update);
    EXPECT_EQ(calls, std::vector<std::string>{"update(0)"});
}

TEST_F(StartUp, EmptyHomeDirectoryMeansFirstInstallation) {
    SetHomeDirectory(HKEY_CURRENT_USER, "");
    EXPECT_EQ(Start(), CSetupApp::Mode::FullInstall);
}

TEST_F(StartUp, MachineWideCopyIsNeverProbed) {
    SetHomeDirectory(HKEY_LOCAL_MACHINE, "\\\\TESTPC\\BankruptcyCases");
    EXPECT_EQ(Start(), CSetupApp::Mode::FullInstall);
    // Another user who did install sees the update; this one still installs.
    machine().SetUserName("colleague");
    SetHomeDirectory(HKEY_CURRENT_USER, "\\\\TESTPC\\BankruptcyCases");
    EXPECT_EQ(Start(), CSetupApp::Mode::Update);
    machine().SetUserName("tester");
    EXPECT_EQ(Start(), CSetupApp::Mode::FullInstall);
}

TEST_F(StartUp, HomeDirectoryOfAnotherTypeIsNotASetting) {
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kSettingsKey, key), 0);
    ASSERT_EQ(RegSetDword(key, "HomeDirectory", 1), 0);
    EXPECT_EQ(Start(), CSetupApp::Mode::FullInstall);
}

TEST_F(StartUp, FileServerUrlComesFromEnvironmentWithTrailingSlash) {
    ::setenv("TALLYMAR_FILE_SERVER", "http://127.0.0.1:8080/files", 1);
    Start();
    EXPECT_EQ(theFileServerUrl, "http://127.0.0.1:8080/files/");
    ::unsetenv("TALLYMAR_FILE_SERVER");
    Start();
    EXPECT_FALSE(theFileServerUrl.empty());
    EXPECT_EQ(theFileServerUrl.back(), '/');
}

TEST_F(StartUp, XmlParseErrorsOfDocumentsThatAskForItReachTheUser) {
    Start();
    ScopedScriptedUserInterface ui;
    const auto previousOutput = XmlDocument::SetDebugOutput(nullptr);
    XmlDocument showing(true);
    XmlDocument quiet(false);
    EXPECT_FALSE(showing.Parse("<Manifest>"));
    EXPECT_FALSE(quiet.Parse("<Manifest>"));
    XmlDocument::SetDebugOutput(previousOutput);
    ASSERT_EQ(ui.Messages().size(), 1U);
    EXPECT_EQ(ui.Messages()[0].text, "XML parsing error at line 1 - Open tag (Manifest)\n");
    EXPECT_EQ(ui.Messages()[0].caption, "Tallymar Setup");
    EXPECT_EQ(ui.Messages()[0].style, MB_OK | MB_ICONERROR);
}
