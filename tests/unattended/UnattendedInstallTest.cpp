#include "app/AppConstants.h"
#include "crypto/CBlowfish.h"
#include "crypto/SecretText.h"
#include "db/SqlText.h"
#include "install/RunFullInstall.h"
#include "platform/LocalShares.h"
#include "platform/NamedEvent.h"
#include "platform/PathHelpers.h"
#include "platform/Registry.h"
#include "tests/install/FullInstallTestBase.h"
#include "unattended/ExitCodes.h"
#include "unattended/RunUnattended.h"
#include "update/DuplicateRunCheck.h"

#include <cstdlib>
#include <gmock/gmock.h>
#include <sys/stat.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

constexpr char kAnswers[] = R"([Install]
AcceptLicense=yes
FirmName=Smith & O'Hara Bankruptcy Law
MasterPassword=Gr4nite&Quartz
AttorneyPassword=Attorney1
InstallDirectory=C:\Program Files\Fenmore Software\Tallymar
HomeDirectory=C:\Users\Public\Documents\BankruptcyCases
ShareName=BankruptcyCases
States=az

[Replies]
'*' does not exist. Do you want the setup program to create it?=Yes
'*' does not exist. Do you want the setup program to create it, share it*=Yes

[Attorney Jane Roe]
Name=Jane Roe
Address1=1 Battery Place
Zipcode=10004
Default=yes
Password=Pacer-Secret-1
Ecf1District=Southern District of New York
Ecf1UserName=jroe
Ecf1Password=EcfSecret9
)";

constexpr const char* kPasswords[] = {"Gr4nite&Quartz", "Attorney1", "Pacer-Secret-1", "EcfSecret9"};

// The first installation driven by an answer file, in this process, against the standard release.
class Unattended : public tltest::FullInstallTest {
protected:
    Unattended() {
        UseStandardRelease();
        // Start-up takes the file server from the environment, as the program does.
        const char* previous = std::getenv("TALLYMAR_FILE_SERVER");
        previousServer_ = previous != nullptr ? std::optional<std::string>(previous) : std::nullopt;
        ::setenv("TALLYMAR_FILE_SERVER", server.BaseUrl().c_str(), 1);
    }
    ~Unattended() override {
        if (previousServer_)
            ::setenv("TALLYMAR_FILE_SERVER", previousServer_->c_str(), 1);
        else
            ::unsetenv("TALLYMAR_FILE_SERVER");
    }

    struct Options {
        mode_t mode = 0600;
        bool passwordStdin = false;
        std::string standardInput;
        CSetupApp::ModeEntry update = [](int) { return 0; };
    };

    /// Writes the answer file (outside the prefix) and runs the unattended mode on it; what it
    /// wrote on standard error is kept in err.
    int Run(const std::string& text, const Options& options) {
        const std::string path = (answerFolder_.Path() / "answers.ini").string();
        WriteFile(path, text);
        ::chmod(path.c_str(), options.mode);
        answerPath = path;
        std::FILE* in =
            ::fmemopen(const_cast<char*>(options.standardInput.data()), options.standardInput.size(), "r");
        std::FILE* out = std::tmpfile();
        CommandLine line;
        line.action = CommandLine::Action::RunUnattended;
        line.answerFile = path;
        line.passwordStdin = options.passwordStdin;
        const int status = RunUnattended(line, RunFullInstall, options.update, in, out);
        std::rewind(out);
        err.clear();
        for (int c; (c = std::fgetc(out)) != EOF;)
            err += static_cast<char>(c);
        std::fclose(out);
        if (in != nullptr)
            std::fclose(in);
        return status;
    }
    int Run(const std::string& text) { return Run(text, Options{}); }
    int RunPublished(const std::string& text, const Options& options) {
        Publish();
        return Run(text, options);
    }
    int RunPublished(const std::string& text) { return RunPublished(text, Options{}); }

    /// The answers with one line replaced (by its key) or, for a key not there, added to [Install].
    static std::string With(const std::string& key, const std::string& value, std::string text = kAnswers) {
        const std::size_t at = text.find("\n" + key + "=");
        if (at == std::string::npos)
            return text.insert(text.find('\n') + 1, key + "=" + value + "\n");
        const std::size_t end = text.find('\n', at + 1);
        return text.replace(at + 1, end - at - 1, key + "=" + value);
    }
    static std::string Without(const std::string& line, std::string text = kAnswers) {
        const std::size_t at = text.find(line);
        return at == std::string::npos ? text : text.erase(at, line.size());
    }

    /// "answers.ini(<line>): Key" for the line that sets key in text.
    std::string Where(const std::string& text, const std::string& key) const {
        int line = 1;
        const std::size_t at = text.find("\n" + key + "=");
        for (std::size_t i = 0; i <= at && i < text.size(); ++i)
            line += text[i] == '\n';
        return answerPath + "(" + std::to_string(line) + "): " + key;
    }

    std::vector<std::string> Query(const std::string& home, const std::string& base,
                                   const std::string& sqliteQuery) {
        CDatabase db;
        db.OpenEx(FormatConnectString(home, base));
        return Rows(db, sqliteQuery);
    }

    bool LogExists() {
        return std::filesystem::exists(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt"));
    }
    std::string Log() { return ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt")); }
    bool Installed() { return tl::PathExists(kInstallDirectory); }

    std::string err;
    std::string answerPath;

private:
    tltest::TempFolder answerFolder_;
    std::optional<std::string> previousServer_;
};

} // namespace

TEST_F(Unattended, InstallsFromAnAnswerFileAndStoresItsAttorneys) {
    ASSERT_EQ(RunPublished(kAnswers), kExitDone) << err;
    EXPECT_THAT(err, HasSubstr("page: Tallymar Setup Wizard: State practice modules: AZ\n"));
    EXPECT_THAT(err,
                HasSubstr("message: Tallymar Setup: 'C:\\Program Files\\Fenmore Software\\Tallymar' does not "
                          "exist. Do you want the setup program to create it?\nanswer: Yes (the reply of " +
                          answerPath + "(12))\n"));
    EXPECT_THAT(err, HasSubstr("progress: Tallymar Setup: Downloading Tallymar.exe...\n"));
    EXPECT_THAT(err,
                HasSubstr("message: Tallymar Setup: Tallymar has been installed on this computer\nanswer: OK "
                          "(the safe default of OK)\n"));
    EXPECT_THAT(err, HasSubstr("tlinstall: Tallymar is installed (exit status 0); the install log is "));
    EXPECT_THAT(Log(), HasSubstr("Setup stored attorney Jane Roe\r\n"));
    EXPECT_THAT(Log(), HasSubstr("Setup finished - success\r\n"));

    // The attorney as the dialog stores it: city and state from the zip code, secrets encrypted.
    const std::string home = "\\\\TESTPC\\BankruptcyCases";
    EXPECT_THAT(Query(home, "tallymar", "SELECT Name, City, State, \"Default\" FROM AttorneyTable"),
                testing::ElementsAre("Jane Roe|New York|NY|-1"));
    const auto logins = Query(home, "tallymar", "SELECT District, UserName, Password FROM EcfTable");
    ASSERT_EQ(logins.size(), 1u);
    const std::string hex = logins[0].substr(logins[0].rfind('|') + 1);
    const auto password = DecryptHexText(CBlowfish("Gr4nite&Quartz"), hex);
    ASSERT_TRUE(password);
    EXPECT_EQ(password->str(), "EcfSecret9");
    EXPECT_EQ(logins[0].substr(0, logins[0].rfind('|')), "Southern District of New York|jroe");

    for (const char* secret : kPasswords) {
        EXPECT_FALSE(PrefixContains(secret)) << secret; // files, databases, registry and the log
        EXPECT_THAT(err, Not(HasSubstr(secret)));
    }
}

TEST_F(Unattended, PasswordsComeFromStandardInputForAFileOthersMayRead) {
    std::string text = kAnswers;
    for (const char* line : {"MasterPassword=Gr4nite&Quartz\n", "AttorneyPassword=Attorney1\n",
                             "Password=Pacer-Secret-1\n", "Ecf1Password=EcfSecret9\n"})
        text = Without(line, text);
    Options options;
    options.mode = 0644;
    options.passwordStdin = true;
    options.standardInput = "MasterPassword=Gr4nite&Quartz\nAttorneyPassword=Attorney1\n[Attorney Jane Roe]\n"
                            "Password=Pacer-Secret-1\nEcf1Password=EcfSecret9\n";
    ASSERT_EQ(RunPublished(text, options), kExitDone) << err;
    EXPECT_EQ(Query("\\\\TESTPC\\BankruptcyCases", "tallymar", "SELECT COUNT(*) FROM EcfTable"),
              std::vector<std::string>{"1"});
    for (const char* secret : kPasswords) {
        EXPECT_FALSE(PrefixContains(secret)) << secret;
        EXPECT_THAT(err, Not(HasSubstr(secret)));
    }

    // Standard input gives passwords only, each once.
    options.standardInput = "MasterPassword=Gr4nite&Quartz\nFirmName=Other\n";
    EXPECT_EQ(Run(text, options), kExitBadAnswers);
    EXPECT_THAT(err, HasSubstr("tlinstall: standard input(2): FirmName is not a password"));
}

TEST_F(Unattended, AnswerFileWithAPasswordThatOthersMayReadIsRefusedBeforeAnythingRuns) {
    for (const mode_t mode : {0644, 0640, 0604}) {
        Options options;
        options.mode = mode;
        EXPECT_EQ(RunPublished(kAnswers, options), kExitBadAnswers) << mode;
        EXPECT_THAT(err, HasSubstr("holds a password but others may read it"));
        EXPECT_THAT(err, HasSubstr("chmod 600 " + answerPath));
    }
    Options owner;
    owner.mode = 0400;
    Publish();
    EXPECT_EQ(Run(With("FirmName", ""), owner), kExitBadAnswers) << "0400 is accepted; the firm name is not";
    EXPECT_THAT(err, Not(HasSubstr("others may read it")));
    EXPECT_FALSE(Installed());
}

TEST_F(Unattended, EachRefusedAnswerShowsThePagesMessageAndNamesItsKeyAndLine) {
    struct Case {
        std::string key;
        std::string value;
        std::string message; ///< the page's message box, or the rule the page keeps Next disabled for
        std::string refusedKey;
    };
    ASSERT_EQ(tl::AddLocalShare({"Taken", "C:\\Elsewhere", ""}), win::NERR_Success);
    const Case cases[] = {
        {"FirmName", "", "FirmName: the firm name must not be empty", "FirmName"},
        {"MasterPassword", "Short7!", "the master password must have at least 8 characters",
         "MasterPassword"},
        {"FirmName", "Smith", "the master password must not be longer than the firm name (5 characters)",
         "MasterPassword"},
        {"InstallDirectory", "\\\\OTHERPC\\Share\\Tallymar",
         "message: Tallymar Setup: The installation directory must be a location on a local hard drive\n",
         "InstallDirectory"},
        {"HomeDirectory", "C:\\Bankruptcy Cases",
         "message: Tallymar Setup: The home directory name must not contain any space characters\n",
         "HomeDirectory"},
        {"HomeDirectory", "\\\\OTHERPC\\Cases",
         "message: Tallymar Setup: The home directory must be a location on a local hard drive\n",
         "HomeDirectory"},
        {"ShareName", "Bankruptcy-Cases",
         "message: Tallymar Setup: The share name for the home directory should not contain any spaces or "
         "other "
         "special characters\n",
         "ShareName"},
        {"ShareName", "Taken",
         "message: Tallymar Setup: The specified network share name (Taken) already exists as the name of a "
         "different folder (C:\\Elsewhere) on this computer.\n",
         "ShareName"},
        {"ShareName", "", "ShareName: the share name must not be empty", "ShareName"},
        {"States", "AZ, TX", "States: the release has no practice module for TX; it has AZ, CA", "States"},
    };
    Publish();
    for (const Case& c : cases) {
        const std::string text = With(c.key, c.value);
        EXPECT_EQ(Run(text), kExitBadAnswers) << c.key << "=" << c.value << "\n" << err;
        EXPECT_THAT(err, HasSubstr(c.message));
        EXPECT_THAT(err, HasSubstr("tlinstall: " + Where(text, c.refusedKey) + ": ")) << err;
        EXPECT_THAT(err, HasSubstr("tlinstall: stopped at a refused answer (exit status 2)"));
        EXPECT_FALSE(Installed()) << "nothing is installed before Finish";
    }
    EXPECT_THAT(Log(), HasSubstr("Abandoning install at user request\r\n"));
}

TEST_F(Unattended, HomeDirectoryOfAnotherComputerMustHoldTheDatabases) {
    std::filesystem::create_directories(machine().NetworkFolder() / "MAIN" / "Cases");
    const std::string text = With("HomeDirectory", "\\\\MAIN\\Cases", With("InstallType", "2"));
    EXPECT_EQ(RunPublished(text), kExitBadAnswers) << err;
    EXPECT_THAT(err, HasSubstr("message: Tallymar Setup: The home directory you specified does not appear to "
                               "contain the databases Tallymar needs."));
    EXPECT_THAT(err, HasSubstr("tlinstall: " + Where(text, "HomeDirectory") + ": "));
    EXPECT_THAT(err, Not(HasSubstr("User name and master password"))) << "not asked for install type 2";
}

TEST_F(Unattended, AQuestionAnsweredNoOrALicenceNotAcceptedEndsTheRunWithStatus3) {
    Publish();
    // Without its reply the creation question gets its safe default, No.
    EXPECT_EQ(Run(Without("'*' does not exist. Do you want the setup program to create it?=Yes\n")),
              kExitCancelled)
        << err;
    EXPECT_THAT(err,
                HasSubstr("answer: No (the safe default of Yes/No)\ntlinstall: the answer No to the question "
                          "above ends the run (" +
                          answerPath + "(6): InstallDirectory)\n"));
    EXPECT_FALSE(Installed());

    EXPECT_EQ(Run(With("AcceptLicense", "no")), kExitCancelled);
    EXPECT_THAT(err, HasSubstr("message: Tallymar Setup: If you exit now"));
    EXPECT_THAT(err, HasSubstr("the licence agreement was not accepted, so setup cannot go on"));

    // A reply that is no button of its box is a wrong answer file; the box gets its safe default.
    std::string retry = kAnswers;
    retry.replace(retry.find("create it?=Yes"), 14, "create it?=Retry");
    EXPECT_EQ(Run(retry), kExitBadAnswers);
    EXPECT_THAT(err, HasSubstr("Retry is not a button of this box (Yes/No); it gets the safe default"));
    EXPECT_FALSE(Installed());
}

TEST_F(Unattended, AFailedStepEndsWithStatus1AndTheLogSaysWhich) {
    // Nothing published: the manifest cannot be fetched.
    EXPECT_EQ(Run(kAnswers), kExitStepFailed);
    EXPECT_THAT(err,
                HasSubstr("message: Tallymar Setup: Unable to retrieve file manifest from file server\n"));
    EXPECT_THAT(err, HasSubstr("the installation failed; the install log says which step (exit status 1)"));
    EXPECT_THAT(Log(), HasSubstr("**** Error fetching manifest\r\n"));
}

TEST_F(Unattended, ProductRunningEndsTheUpdateWithStatus4) {
    win::RegKey key;
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_CURRENT_USER, kSettingsKey, key), 0);
    ASSERT_EQ(win::RegSetString(key, "HomeDirectory", "\\\\TESTPC\\BankruptcyCases"), 0);
    tl::NamedEvent product; // what Tallymar.exe holds while it runs
    ASSERT_TRUE(product.Create(kDuplicateCheckEvent, tl::EventReset::Automatic));
    Options options;
    options.update = [](int) { return PassDuplicateRunCheck() ? 1 : 0; };
    EXPECT_EQ(Run(kAnswers, options), kExitProductRunning);
    EXPECT_THAT(err, HasSubstr(std::string("message: Tallymar Setup: ") + kProductRunningMessage));
    EXPECT_THAT(err, HasSubstr("Tallymar is running on this computer: close it, then run tlinstall again"));
}

TEST_F(Unattended, WrongAnswerFileRunsNothing) {
    Publish();
    EXPECT_EQ(Run("[Install]\nInstallType=4\nColour=blue\n"), kExitBadAnswers);
    EXPECT_THAT(err, HasSubstr("answers.ini(3): Colour is not a key of [Install]"));
    EXPECT_EQ(Run("[Install]\nInstallType=4\n"), kExitBadAnswers);
    EXPECT_THAT(err, HasSubstr("answers.ini(2): InstallType must be 0"));
    CommandLine line;
    line.action = CommandLine::Action::RunUnattended;
    line.answerFile = "/nonexistent/answers.ini";
    std::FILE* out = std::tmpfile();
    EXPECT_EQ(RunUnattended(line, RunFullInstall, RunFullInstall, stdin, out), kExitBadAnswers);
    std::fclose(out);
    EXPECT_FALSE(LogExists()) << "no run began";
}
