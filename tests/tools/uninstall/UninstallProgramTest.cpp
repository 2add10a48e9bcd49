#include "platform/LocalShares.h"
#include "platform/NetApi.h"
#include "platform/Registry.h"
#include "tests/tools/uninstall/UninstallTestSupport.h"

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// The real TLMUINST.EXE, run unattended on the prefix that a first installation filled.
class UninstallProgram : public tltest::InstalledProduct {
protected:
    UninstallProgram() {
        InstallProduct();
        // A case file the firm made: no manifest lists it.
        WriteFile(Host(homeDirectory + "\\Cases\\Smith\\petition.pdf"), "the Smiths' petition");
    }

    const std::string installDirectory = kInstallDirectory;
    const std::string homeDirectory = kLocalHome;
};

using tltest::Without;

} // namespace

TEST_F(UninstallProgram, RemovesTheInstallationAndKeepsTheFirmsData) {
    const tltest::ProgramRun run = Uninstall({"--unattended"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(tltest::ListingDifference(Without(before, KeptData()), List(KeptData())), "");

    for (const char* kept :
         {"\\Tallymar.mdb", "\\CreditorNames.mdb", "\\TallymarPlaces.mdb", "\\Cases\\Smith\\petition.pdf"})
        EXPECT_TRUE(Exists(homeDirectory + kept)) << kept;
    EXPECT_TRUE(tl::FindLocalShare("BankruptcyCases").has_value());
    EXPECT_EQ(run.out, "Tallydesk has been removed from this computer.\n"
                       "The firm's databases and case files were kept in "
                       "C:\\Users\\Public\\Documents\\BankruptcyCases.\n"
                       "The network share BankruptcyCases and its network user were kept for them.\n");
    const std::string log = tltest::InstallLogText();
    for (const char* line :
         {" - **** Beginning uninstall\r\n",
          " - Home directory is C:\\Users\\Public\\Documents\\BankruptcyCases\r\n",
          " - Uninstall kept \\\\TESTPC\\BankruptcyCases\\Tallymar.mdb: the firm's data\r\n",
          " - Uninstall deleted C:\\Program Files\\Fenmore Software\\Tallymar\\Tallymar Help.chm\r\n",
          " - Uninstall removed the folder C:\\ProgramData\\Microsoft\\Windows\\Start "
          "Menu\\Programs\\Tallydesk\r\n",
          " - Uninstall deleted the registry key HKEY_CURRENT_USER\\Software\\Fenmore Software\\Tallymar\r\n",
          " - Uninstall deleted the registry key HKEY_LOCAL_MACHINE\\Software\\Fenmore "
          "Software\\Tallymar\r\n",
          " - Uninstall deleted C:\\Program Files\\Fenmore Software\\Tallymar\\TLMUINST.xml\r\n",
          " - Uninstall removed the folder C:\\Program Files\\Fenmore Software\r\n",
          " - Uninstall finished - success\r\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}

TEST_F(UninstallProgram, RemoveDataLeavesOnlyTheLog) {
    const tltest::ProgramRun run = Uninstall({"--unattended", "--remove-data"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    // The sandbox keeps the access lists it set by path: the deleted home directory's stays behind.
    const std::vector<std::string> accessLists = {"f security/dacls.txt"};
    EXPECT_EQ(tltest::ListingDifference(Without(before, accessLists), List(accessLists)), "");
    EXPECT_FALSE(tl::FindLocalShare("BankruptcyCases").has_value());
    std::vector<win::USER_INFO_1> users;
    ASSERT_EQ(win::NetUserEnum("", 1, users), 0U);
    EXPECT_TRUE(users.empty());
    EXPECT_EQ(run.out, "Tallydesk has been removed from this computer.\n"
                       "The firm's databases and case files in C:\\Users\\Public\\Documents\\BankruptcyCases "
                       "were deleted.\n");
    const std::string log = tltest::InstallLogText();
    for (const char* line :
         {" - User chose to delete the firm's databases and case files\r\n",
          " - Uninstall deleted \\\\TESTPC\\BankruptcyCases\\Tallymar.mdb\r\n",
          " - Uninstall deleted the home directory C:\\Users\\Public\\Documents\\BankruptcyCases\r\n",
          " - Uninstall stopped sharing BankruptcyCases\r\n",
          " - Uninstall removed the network user TallymarUser\r\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}

TEST_F(UninstallProgram, DryRunListsTheStepsAndChangesNothing) {
    const auto installed = List({});
    const std::string log = tltest::InstallLogText();
    const tltest::ProgramRun run = Uninstall({"--dry-run"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(tltest::ListingDifference(installed, List({})), "");
    EXPECT_EQ(tltest::InstallLogText(), log);
    EXPECT_EQ(run.out.substr(
                  0, run.out.find("Keep C:\\Users\\Public\\Documents\\BankruptcyCases\\TallymarPlaces.mdb")),
              "Delete C:\\Users\\tester\\Desktop\\BankruptcyCases.lnk\n"
              "Delete C:\\Users\\tester\\Desktop\\Tallydesk.lnk\n"
              "Delete C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tallydesk\\Tallydesk.lnk\n"
              "Delete C:\\Users\\tester\\AppData\\Local\\tlmscanx.ini\n"
              "Delete C:\\Program Files\\Fenmore Software\\Tallymar\\AZexemptions.xml\n"
              "Delete C:\\Program Files\\Fenmore Software\\Tallymar\\Tallymar Help.chm\n"
              "Delete C:\\Program Files\\Fenmore Software\\Tallymar\\Creditors.ini\n"
              "Keep C:\\Users\\Public\\Documents\\BankruptcyCases\\MeansTest.mdb (the firm's data)\n");
    EXPECT_NE(
        run.out.find("\nKeep \\\\TESTPC\\BankruptcyCases\\Tallymar.mdb (the firm's data)\n"
                     "Remove the folder C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tallydesk "
                     "when it is empty\n"
                     "Delete the registry key HKEY_CURRENT_USER\\Software\\Fenmore Software\\Tallymar\n"),
        std::string::npos)
        << run.out;
    const tltest::ProgramRun withData = Uninstall({"--dry-run", "--remove-data"});
    EXPECT_NE(
        withData.out.find("Delete the home directory C:\\Users\\Public\\Documents\\BankruptcyCases with "
                          "everything in it\n"),
        std::string::npos)
        << withData.out;
    EXPECT_EQ(tltest::ListingDifference(installed, List({})), "");
}

TEST_F(UninstallProgram, DamagedManifestDeletesNothing) {
    const fs::path manifest = Host(installDirectory + "\\TLMUINST.xml");
    std::string text = ReadFile(manifest);
    WriteFile(manifest, text.substr(0, text.find("<DeleteKey>")) + "<DeleteKey>Software\\Fen");
    const auto installed = List();
    const tltest::ProgramRun run = Uninstall({"--unattended"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("TLMUINST.EXE: XML parsing error at line"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\nNothing was removed.\n"), std::string::npos) << run.err;
    EXPECT_EQ(tltest::ListingDifference(installed, List()), "");
    EXPECT_NE(tltest::InstallLogText().find("cannot be used: XML parsing error at line"), std::string::npos);

    WriteFile(
        manifest,
        "<?xml version=\"1.0\" ?>\r\n<SomethingElse><DeleteFile>C:\\x</DeleteFile></SomethingElse>\r\n");
    const auto rewritten = List();
    EXPECT_EQ(Uninstall({"--unattended"}).err, "TLMUINST.EXE: The uninstall manifest has no single "
                                               "TallymarUninstall element\nNothing was removed.\n");
    EXPECT_EQ(Uninstall({"--unattended", "--bogus"}).exitCode, 2);
    fs::remove(manifest);
    EXPECT_EQ(Uninstall({"--unattended"}).exitCode, 2);
    EXPECT_EQ(tltest::ListingDifference(
                  Without(rewritten, {"f drive_c/Program Files/Fenmore Software/Tallymar/TLMUINST.xml"}),
                  List({"f drive_c/Program Files/Fenmore Software/Tallymar/TLMUINST.xml"})),
              "");
}

TEST_F(UninstallProgram, SecondRunFinishesWhatAFailedRunLeft) {
    // A machine-wide hive the user may not change: the shadow copy of the settings cannot go.
    const fs::path machineHive = machine().Prefix() / "registry/HKEY_LOCAL_MACHINE.reg";
    ::chmod(machineHive.c_str(), 0444);
    const tltest::ProgramRun first = Uninstall({"--unattended"});
    EXPECT_EQ(first.exitCode, 1);
    EXPECT_NE(first.out.find("could not be removed completely: 2 steps failed"), std::string::npos)
        << first.out;
    EXPECT_TRUE(fs::exists(Program())) << "kept to be run again";
    EXPECT_TRUE(Exists(installDirectory + "\\TLMUINST.xml"));
    EXPECT_FALSE(Exists(installDirectory + "\\Tallymar.exe"));
    EXPECT_NE(tltest::InstallLogText().find(" - **** Error 5 trying to delete the registry key "
                                            "HKEY_LOCAL_MACHINE\\Software\\Fenmore Software\\Tallymar\r\n"),
              std::string::npos);

    ::chmod(machineHive.c_str(), 0644);
    const tltest::ProgramRun second = Uninstall({"--unattended"});
    EXPECT_EQ(second.exitCode, 0) << second.out;
    EXPECT_EQ(tltest::ListingDifference(Without(before, KeptData()), List(KeptData())), "");
    EXPECT_NE(
        tltest::InstallLogText().find(" - Uninstall found C:\\Program Files\\Fenmore Software\\Tallymar\\"
                                      "Tallymar.exe already gone\r\n"),
        std::string::npos);
    // Settings gone, the data still found through the share and kept.
    EXPECT_TRUE(Exists(homeDirectory + "\\TallymarPlaces.mdb"));
}

TEST_F(UninstallProgram, RunAgainAfterItsEndChangesNothing) {
    const std::string manifest = ReadFile(Host(installDirectory + "\\TLMUINST.xml"));
    ASSERT_EQ(Uninstall({"--unattended"}).exitCode, 0);
    const auto uninstalled = List();
    tltest::PlaceUninstaller(installDirectory);
    WriteFile(Host(installDirectory + "\\TLMUINST.xml"), manifest);
    const tltest::ProgramRun again = Uninstall({"--unattended"});
    EXPECT_EQ(again.exitCode, 0) << again.out;
    EXPECT_EQ(tltest::ListingDifference(uninstalled, List()), "");
}

TEST_F(UninstallProgram, RefusesEveryHostileEntryAndDeletesOnlyWhatIsAllowed) {
    // Something outside the machine, reachable through a link inside the installation directory.
    const tltest::TempFolder outside;
    WriteFile(outside.Path() / "victim.txt", "not the product's");
    fs::create_directory_symlink(outside.Path(), Host(installDirectory) / "outside");
    WriteFile(machine().Prefix() / "network/OTHERPC/Cases/Tallymar.mdb", "another firm's database");
    WriteFile(Host("C:\\Windows\\System32\\kernel32.dll"), "system");
    const struct {
        const char* entry;
        const char* reason;
    } hostile[] = {
        {"<DeleteFile>Tallymar.exe</DeleteFile>", "it is not an absolute path of this computer"},
        {"<DeleteFile>C:Tallymar.exe</DeleteFile>", "it is not an absolute path of this computer"},
        {"<DeleteFile>\\\\?\\C:\\Users\\tester\\Documents\\letter.doc</DeleteFile>",
         "it is not an absolute path of this computer"},
        {"<DeleteFile>D:\\Tallymar.exe</DeleteFile>", "it is not on a drive of this computer"},
        {"<DeleteFile></DeleteFile>", "it is empty"},
        {"<DeleteFile>C:\\</DeleteFile>", "it names the root of drive C:"},
        {"<DeleteFile>\\\\TESTPC\\C$</DeleteFile>", "it names the root of drive C:"},
        {"<DeleteFile>C:\\Windows</DeleteFile>", "it names the folder C:\\Windows itself"},
        {"<DeleteFile>C:\\Windows\\System32\\kernel32.dll</DeleteFile>",
         "it lies inside the folder C:\\Windows"},
        {"<DeleteFile>C:\\Program Files</DeleteFile>", "it names the folder C:\\Program Files itself"},
        {"<DeleteFile>c:\\program files\\</DeleteFile>", "it names the folder C:\\Program Files itself"},
        {"<DeleteFile>C:\\Users\\Public\\Documents\\BankruptcyCases</DeleteFile>",
         "it names the folder C:\\Users\\Public\\Documents\\BankruptcyCases itself"},
        {"<DeleteFile>\\\\TESTPC\\BankruptcyCases</DeleteFile>",
         "it names the folder C:\\Users\\Public\\Documents\\BankruptcyCases itself"},
        {"<DeleteFile>C:\\Users\\tester\\Desktop</DeleteFile>",
         "it names the folder C:\\Users\\tester\\Desktop itself"},
        {"<DeleteFile>C:\\Users\\tester</DeleteFile>", "it holds the folder C:\\Users\\tester\\Documents"},
        {"<DeleteFile>C:\\Program Files\\Fenmore "
         "Software\\Tallymar\\..\\..\\..\\Users\\tester\\Documents\\letter.doc"
         "</DeleteFile>",
         "it has a \".\" or \"..\" component"},
        {"<DeleteFile>\\\\OTHERPC\\Cases\\Tallymar.mdb</DeleteFile>", "it is on another computer"},
        {"<DeleteFile>C:\\Program Files\\Fenmore Software\\Tallymar\\outside\\victim.txt</DeleteFile>",
         "it leads off this computer's drives"},
        {"<DeleteKey>Software</DeleteKey>",
         "it is not the product's own key Software\\Fenmore Software\\Tallymar"},
        {"<DeleteKey>Software\\Microsoft\\Windows</DeleteKey>",
         "it is not the product's own key Software\\Fenmore Software\\Tallymar"},
        {"<DeleteKey>Software\\Fenmore Software\\Tallymar\\..\\..\\Microsoft</DeleteKey>",
         "it has a \".\" or \"..\" component"},
        {"<DeleteKey>\\Software\\Fenmore Software\\Tallymar</DeleteKey>", "it has an empty component"},
        {"<DeleteTree>C:\\Users</DeleteTree>", "the uninstaller does not know this kind of entry"},
    };
    std::string manifest = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<TallymarUninstall>\r\n";
    for (const auto& entry : hostile)
        manifest += std::string(entry.entry) + "\r\n";
    manifest += "<DeleteFile>C:\\Program Files\\Fenmore Software\\Tallymar\\Tallymar.exe</DeleteFile>\r\n"
                "</TallymarUninstall>\r\n";
    WriteFile(Host(installDirectory + "\\TLMUINST.xml"), manifest);
    const std::vector<std::string> program = {
        "f drive_c/Program Files/Fenmore Software/Tallymar/TLMUINST.exe"};
    const auto installed = List(program);

    const tltest::ProgramRun run = Uninstall({"--unattended"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("23 entries of the uninstall manifest were refused"), std::string::npos)
        << run.out;
    // Only the one allowed file went, with what the uninstaller always removes: the scanner key,
    // the registration, the manifest and the program (refusals cannot be mended by a second run).
    EXPECT_FALSE(fs::exists(Program()));
    EXPECT_EQ(tltest::ListingDifference(installed, List(program)),
              "- f drive_c/Program Files/Fenmore Software/Tallymar/TLMUINST.xml 1353\n"
              "- f drive_c/Program Files/Fenmore Software/Tallymar/Tallymar.exe 20011\n"
              "- reg HKEY_LOCAL_MACHINE.reg "
              "\"Config\"=\"C:\\\\Users\\\\tester\\\\AppData\\\\Local\\\\tlmscanx.ini\"\n"
              "- reg HKEY_LOCAL_MACHINE.reg \"DisplayName\"=\"Tallydesk\"\n"
              "- reg HKEY_LOCAL_MACHINE.reg \"Path\"=\"C:\\\\Users\\\\tester\\\\AppData\\\\Local\\\\Temp\"\n"
              "- reg HKEY_LOCAL_MACHINE.reg \"UninstallString\"=\"C:\\\\Program Files\\\\Fenmore "
              "Software\\\\Tallymar\\\\TLMUINST.exe\"\n"
              "- reg HKEY_LOCAL_MACHINE.reg @=\"C:\\\\Program Files\\\\Fenmore "
              "Software\\\\Tallymar\\\\Tallymar.exe\"\n"
              "- reg HKEY_LOCAL_MACHINE.reg "
              "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallymar]\n"
              "- reg HKEY_LOCAL_MACHINE.reg [HKEY_LOCAL_MACHINE\\Software\\PFU\\ScanSnap "
              "Extension\\TallymarConnection]\n");
    EXPECT_TRUE(fs::exists(outside.Path() / "victim.txt"));
    const std::string log = tltest::InstallLogText();
    for (const auto& entry : hostile) {
        EXPECT_NE(
            log.find(std::string(" - **** Uninstall refused ") + entry.entry + ": " + entry.reason + "\r\n"),
            std::string::npos)
            << entry.entry;
    }
}
