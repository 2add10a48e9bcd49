#pragma once

#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "crypto/Ed25519.h"
#include "tests/db/DatabaseTestSupport.h"
#include "tests/release/LoopbackServer.h"

#include <optional>
#include <string>
#include <vector>

namespace tltest {

/// A first installation against a release made by the test and served on the loopback interface:
/// the manifest with its modules and support files (some compressed), and the answers a user
/// gives the wizard, which the scripted wizard copies into the sheet as the pages do.
class FullInstallTest : public DatabaseTest {
protected:
    static constexpr const char* kInstallDirectory = "C:\\Program Files\\Fenmore Software\\Tallymar";
    static constexpr const char* kLocalHome = "C:\\Users\\Public\\Documents\\BankruptcyCases";
    static constexpr const char* kMasterPassword = "Gr4nite&Quartz";

    struct ReleaseFile {
        std::string name;
        std::int32_t flags = 0;
        std::string content;
        std::string state;
        std::string date; ///< support files only
        std::string time;
        bool compressed = false;
        std::string version = "5.2.0.1"; ///< modules only
    };

    struct Answers {
        int installType = 0;
        std::string firmName = "Smith & O'Hara Bankruptcy Law";
        std::string masterPassword = kMasterPassword;
        std::string attorneyPassword = "Attorney1";
        std::string staffPassword;
        std::string installDirectory = kInstallDirectory;
        std::string homeDirectory = kLocalHome;
        std::string shareName = "BankruptcyCases";
        std::string networkUserName = "TallymarUser";
        bool attorneysNow = true;
        std::vector<std::string> states = {"AZ"};
        bool finish = true;
    };

    FullInstallTest();

    /// The release of these tests: program modules (the real import proxy among them), two state
    /// modules, an optional and an obsolete module, the shared lookup databases, a creditor file
    /// that is imported, a help file with its time, the scanner configuration.
    void UseStandardRelease();
    /// Leaves a file of the standard release out (by name).
    void Withdraw(const std::string& name);
    /// Serves the manifest, its signature by signingKey when there is one, and every file of the
    /// release.
    void Publish();
    /// Publish, then the first installation; its result.
    int Install();

    /// The install log's lines without time stamps, with the server's address and the test
    /// program's path masked ("<server>/", "<program>").
    std::vector<std::string> LogLines();
    /// Compares LogLines with tests/data/<goldenFolder>/<name> line by line; TL_UPDATE_GOLDEN=1
    /// rewrites it.
    void ExpectGoldenLog(const std::string& name);
    /// The same for lines of the test's choosing.
    void ExpectGoldenLines(const std::string& name, const std::vector<std::string>& actual);
    /// The bytes of a golden file, rewritten from actual under TL_UPDATE_GOLDEN=1.
    std::string Golden(const std::string& name, const std::string& actual);

    /// Every file below the prefix with its size and modification time, for before-and-after checks.
    std::vector<std::string> PrefixListing(const std::string& except = {});
    /// True when any file below the prefix holds text.
    bool PrefixContains(const std::string& text);

    /// A main computer in the sandbox network holding a home directory with the four databases.
    void MakeMainComputer(const std::string& computer, const std::string& share);

    std::vector<std::string> MessageTexts() const { return ui.MessageTexts(); }
    /// Names of the entries of a folder of the machine, sorted.
    std::vector<std::string> FolderContents(const std::string& windowsFolder);

    std::vector<ReleaseFile> modules;
    std::vector<ReleaseFile> supportFiles;
    int databaseLevel = 12;
    int updateLevel = 30;
    Answers answers;
    int rosterRuns = 0;
    std::string goldenFolder = "install"; ///< below tests/data
    std::optional<Ed25519PrivateKey> signingKey;
    LoopbackServer server;
    ScopedScriptedUserInterface ui;
};

/// zlib's stream of bytes, as the file server sends compressed files.
std::string Compress(const std::string& bytes);

} // namespace tltest
