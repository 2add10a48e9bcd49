#include "platform/LocalShares.h"
#include "platform/NetApi.h"
#include "tests/tools/uninstall/UninstallTestSupport.h"

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using tltest::ListingDifference;
using tltest::Without;

// The real TLMUINST.EXE, run unattended on the prefix that a first installation filled.
class UninstallProgram : public tltest::InstalledProduct {
protected:
    UninstallProgram() {
        InstallProduct();
        // A case file the firm made: no manifest lists it.
        WriteFile(Host(homeDirectory + "\\Cases\\Smith\\petition.pdf"), "the Smiths' petition");
    }

    fs::path Manifest() { return Host(installDirectory + "\\TLMUINST.xml"); }

    const std::string installDirectory = kInstallDirectory;
    const std::string homeDirectory = kLocalHome;
};

} // namespace

TEST_F(UninstallProgram, RemovesTheInstallationAndKeepsTheFirmsData) {
    const tltest::ProgramResult run = Uninstall({"--unattended"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(ListingDifference(Without(before, KeptData()), List(KeptData())), "");
    for (const char* kept :
         {"\\Tallymar.mdb", "\\CreditorNames.mdb", "\\MeansTest.mdb", "\\Cases\\Smith\\petition.pdf"})
        EXPECT_TRUE(Exists(homeDirectory + kept)) << kept;
    EXPECT_TRUE(tl::FindLocalShare("BankruptcyCases").has_value());
    EXPECT_EQ(run.out, "Tallydesk has been removed from this computer.\n"
                       "The firm's databases and case files were kept in "
                       "C:\\Users\\Public\\Documents\\BankruptcyCases.\n"
                       "The network share BankruptcyCases and its network user were kept for them.\n");
    tltest::ExpectGolden("keep-data.log", UninstallLog());
}

TEST_F(UninstallProgram, RemoveDataLeavesOnlyTheLog) {
    const tltest::ProgramResult run = Uninstall({"--unattended", "--remove-data"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    // The sandbox keeps the access lists it set by path: the deleted home directory's stays behind.
    const std::vector<std::string> accessLists = {"f security/dacls.txt"};
    EXPECT_EQ(ListingDifference(Without(before, accessLists), List(accessLists)), "");
    std::vector<win::USER_INFO_1> users;
    ASSERT_EQ(win::NetUserEnum("", 1, users), 0U);
    EXPECT_TRUE(users.empty());
    EXPECT_EQ(run.out, "Tallydesk has been removed from this computer.\n"
                       "The firm's databases and case files in C:\\Users\\Public\\Documents\\BankruptcyCases "
                       "were deleted.\n");
    tltest::ExpectGolden("remove-data.log", UninstallLog());
}

TEST_F(UninstallProgram, DryRunListsTheStepsAndChangesNothing) {
    const auto installed = List({});
    const std::string log = UninstallLog();
    const tltest::ProgramResult keep = Uninstall({"--dry-run"});
    const tltest::ProgramResult remove = Uninstall({"--dry-run", "--remove-data"});
    EXPECT_EQ(keep.status, 0) << keep.err;
    EXPECT_EQ(remove.status, 0) << remove.err;
    EXPECT_EQ(ListingDifference(installed, List({})), "");
    EXPECT_EQ(UninstallLog(), log);
    tltest::ExpectGolden("dry-run.txt", keep.out);
    tltest::ExpectGolden("dry-run-remove-data.txt", remove.out);
}

TEST_F(UninstallProgram, DamagedManifestDeletesNothing) {
    const std::string text = ReadFile(Manifest());
    WriteFile(Manifest(), text.substr(0, text.find("<DeleteKey>")) + "<DeleteKey>Software\\Fen");
    const auto installed = List();
    const tltest::ProgramResult run = Uninstall({"--unattended"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("TLMUINST.EXE: XML parsing error at line"), std::string::npos) << run.err;
    EXPECT_TRUE(run.err.ends_with("\nNothing was removed.\n")) << run.err;
    EXPECT_EQ(ListingDifference(installed, List()), "");
    EXPECT_NE(UninstallLog().find("cannot be used: XML parsing error at line"), std::string::npos);

    WriteFile(Manifest(),
              "<?xml version=\"1.0\" ?>\r\n<Other><DeleteFile>C:\\Users</DeleteFile></Other>\r\n");
    EXPECT_EQ(Uninstall({"--unattended"}).err, "TLMUINST.EXE: The uninstall manifest has no single "
                                               "TallymarUninstall element\nNothing was removed.\n");
    EXPECT_EQ(Uninstall({"--unattended", "--bogus"}).status, 2);
    fs::remove(Manifest());
    EXPECT_EQ(Uninstall({"--unattended"}).status, 2);
    const std::vector<std::string> manifest = {
        "f drive_c/Program Files/Fenmore Software/Tallymar/TLMUINST.xml"};
    EXPECT_EQ(ListingDifference(Without(installed, manifest), List()), "");
}

TEST_F(UninstallProgram, SecondRunFinishesWhatAFailedRunLeft) {
    // A machine-wide hive the user may not change: its keys cannot go.
    const fs::path machineHive = machine().Prefix() / "registry/HKEY_LOCAL_MACHINE.reg";
    ::chmod(machineHive.c_str(), 0444);
    const tltest::ProgramResult first = Uninstall({"--unattended"});
    EXPECT_EQ(first.status, 1);
    EXPECT_TRUE(first.out.starts_with("Tallydesk could not be removed completely: 2 steps failed."))
        << first.out;
    EXPECT_TRUE(fs::exists(Program())) << "kept to be run again";
    EXPECT_TRUE(fs::exists(Manifest()));
    EXPECT_FALSE(Exists(installDirectory + "\\Tallymar.exe"));
    tltest::ExpectGolden("failed-run.log", UninstallLog());

    ::chmod(machineHive.c_str(), 0644);
    const tltest::ProgramResult second = Uninstall({"--unattended"});
    EXPECT_EQ(second.status, 0) << second.out;
    EXPECT_EQ(ListingDifference(Without(before, KeptData()), List(KeptData())), "");
    // The settings went in the first run: the data are still found through the share, and kept.
    EXPECT_TRUE(Exists(homeDirectory + "\\TallymarPlaces.mdb"));
    tltest::ExpectGolden("second-run.log", UninstallLog());
}

TEST_F(UninstallProgram, RefusesEveryHostileEntryAndDeletesOnlyWhatIsAllowed) {
    // Something outside the machine, reachable through a link inside the installation directory.
    const tltest::TempFolder outside;
    WriteFile(outside.Path() / "victim.txt", "not the product's");
    fs::create_directory_symlink(outside.Path(), Host(installDirectory) / "outside");
    WriteFile(machine().Prefix() / "network/OTHERPC/Cases/Tallymar.mdb", "another firm's database");
    WriteFile(Host("C:\\Windows\\System32\\kernel32.dll"), "system");
    fs::copy_file(TL_TEST_DATA_DIR "/uninstall/hostile-entries-TLMUINST.xml", Manifest(),
                  fs::copy_options::overwrite_existing);
    const std::vector<std::string> program = {
        "f drive_c/Program Files/Fenmore Software/Tallymar/TLMUINST.exe"};
    const auto installed = List(program);

    const tltest::ProgramResult run = Uninstall({"--unattended"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("26 entries of the uninstall manifest were refused"), std::string::npos)
        << run.out;
    // Only the one allowed file went, with what the uninstaller always removes: the scanner key,
    // the registration, the manifest and the program (refusals cannot be mended by a second run).
    EXPECT_FALSE(fs::exists(Program()));
    tltest::ExpectGolden("hostile-entries.listing", ListingDifference(installed, List(program)));
    EXPECT_TRUE(fs::exists(outside.Path() / "victim.txt"));
    tltest::ExpectGolden("hostile-entries.log", UninstallLog());
}
