#include "app/CSetupSheet.h"
#include "platform/WinTypes.h"
#include "tests/support/TestMachine.h"
#include "unattended/AnswerFile.h"
#include "unattended/AnswerFileUserInterface.h"
#include "update/UpdateList.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using Verdict = AnswerFileUserInterface::Verdict;

namespace {

// The update wizard's pages answered from [Update], on a sheet as the update builds it: the
// manifest bound, the settings' installation directory and type (or none) copied in.
class UpdateAnswers : public tltest::MachineTest {
protected:
    static constexpr const char* kFolder = "C:\\Program Files\\Fenmore Software\\Tallymar";

    UpdateAnswers() {
        sheet.isUpdate = true;
        sheet.installType = -1;
    }

    // The manifest as the fetch binds it; the list page's build trims it, so each run gets it anew.
    static std::unique_ptr<XCurrentVersion> Manifest() {
        auto manifest = std::make_unique<XCurrentVersion>();
        manifest->DatabaseLevel = 16;
        const std::tuple<const char*, const char*, std::int32_t, const char*> modules[] = {
            {"Tallymar.exe", "Tallymar", FlagInstallIfAbsent, ""},
            {"TLMNY.DLL", "New York practice module", FlagStateModule, "NY"},
            {"TLMTX.DLL", "Texas practice module", FlagStateModule, "TX"},
        };
        for (const auto& [name, description, flags, state] : modules) {
            auto module = std::make_unique<XModule>();
            module->Name = name;
            module->Description = description;
            module->Version = "1.0.0.2";
            module->Flags = flags;
            module->State = state;
            manifest->Modules.push_back(std::move(module));
        }
        auto help = std::make_unique<XSupportFile>();
        help->Name = "Help.chm";
        manifest->SupportFiles.push_back(std::move(help));
        return manifest;
    }

    void PutProgram(const std::string& name) {
        WriteFile(Host(std::string(kFolder) + "\\" + name), "program");
    }

    int Answer(const std::string& answers) {
        sheet.manifestObjects.clear();
        sheet.manifestObjects.push_back(Manifest());
        AnswerFile file;
        EXPECT_TRUE(file.Read(answers, "u.ini"));
        std::FILE* out = std::tmpfile();
        AnswerFileUserInterface ui(file, "u.ini", out);
        UserInterface* previous = SetUserInterface(&ui);
        const int result = ui.RunUpdateWizard(sheet);
        SetUserInterface(previous);
        verdict = ui.GetVerdict();
        std::rewind(out);
        err.clear();
        for (int c; (c = std::fgetc(out)) != EOF;)
            err += static_cast<char>(c);
        std::fclose(out);
        return result;
    }

    std::vector<std::string> ListedNames() const {
        std::vector<std::string> names;
        for (const UpdateItem& item : theUpdateList)
            names.push_back(item.Name);
        return names;
    }

    CSetupSheet sheet{CSetupSheet::kUpdateCaptionId};
    Verdict verdict = Verdict::None;
    std::string err;
};

} // namespace

TEST_F(UpdateAnswers, InstallationDirectoryMustHoldTheProgramWhenTheSettingsNameNone) {
    EXPECT_EQ(Answer(std::string("[Update]\nInstallDirectory=") + kFolder + "\n"), win::IDCANCEL);
    EXPECT_EQ(verdict, Verdict::BadAnswer);
    EXPECT_THAT(err,
                HasSubstr("message: Tallymar Setup: The directory you specified doesn't contain the Tallymar "
                          "executable files.\n"));
    EXPECT_THAT(err, HasSubstr("tlinstall: u.ini(2): InstallDirectory: the answer was refused"));
    EXPECT_TRUE(sheet.installDirectory.empty());

    PutProgram("Tallymar.exe");
    EXPECT_EQ(Answer(std::string("[Update]\nInstallDirectory=") + kFolder + "\n"), win::ID_WIZFINISH) << err;
    EXPECT_EQ(sheet.installDirectory, kFolder);
    EXPECT_EQ(sheet.installType, 0) << "the install type page's default";
}

TEST_F(UpdateAnswers, PagesTheSettingsAnswerAreNotAsked) {
    sheet.installDirectory = kFolder;
    sheet.installType = 1;
    PutProgram("Tallymar.exe");
    EXPECT_EQ(Answer("[Update]\nInstallDirectory=C:\\Nowhere\nInstallType=2\n"), win::ID_WIZFINISH) << err;
    EXPECT_EQ(sheet.installDirectory, kFolder);
    EXPECT_EQ(sheet.installType, 1);
    EXPECT_THAT(err, Not(HasSubstr("Installation Directory")));
}

TEST_F(UpdateAnswers, StatesAreThoseInstalledUnlessTheAnswerNamesOthers) {
    sheet.installDirectory = kFolder;
    sheet.installType = 0;
    PutProgram("Tallymar.exe");
    PutProgram("TLMNY.DLL");
    ASSERT_EQ(Answer("[Update]\n"), win::ID_WIZFINISH) << err;
    EXPECT_THAT(sheet.states, ElementsAre("NY"));
    EXPECT_THAT(ListedNames(), Not(testing::Contains("TLMTX.DLL")));

    ASSERT_EQ(Answer("[Update]\nStates=tx ny\n"), win::ID_WIZFINISH) << err;
    EXPECT_THAT(sheet.states, ElementsAre("NY", "TX")) << "in the tree's order";
    EXPECT_THAT(ListedNames(), testing::Contains("TLMTX.DLL"));
    EXPECT_THAT(
        err, HasSubstr("page: Tallymar Update Wizard: Finish setting up Tallymar: TLMTX.DLL - Texas practice "
                       "module\n"));
    EXPECT_THAT(err, HasSubstr("the shared databases are brought up to level 16"));

    EXPECT_EQ(Answer("[Update]\nStates=TX, PA\n"), win::IDCANCEL);
    EXPECT_THAT(
        err,
        HasSubstr("tlinstall: u.ini(2): States: the release has no practice module for PA; it has NY, TX"));
}

TEST_F(UpdateAnswers, SharedUpdatesAreAnsweredOnlyWhereTheSharedFilesAreElsewhere) {
    PutProgram("Tallymar.exe");
    sheet.installDirectory = kFolder;
    sheet.sharedUpdatesNeeded = 1;
    ASSERT_EQ(Answer("[Update]\nInstallType=2\nApplySharedUpdates=yes\n"), win::ID_WIZFINISH) << err;
    EXPECT_EQ(sheet.installType, 2);
    EXPECT_EQ(sheet.GetChoice(kChoiceApplySharedUpdates), 1);
    EXPECT_THAT(err, HasSubstr("page: Tallymar Update Wizard: Shared file updates: now\n"));

    CSetupSheet& same = sheet;
    same.SetChoice(kChoiceApplySharedUpdates, 0);
    same.installType = 1;
    ASSERT_EQ(Answer("[Update]\nApplySharedUpdates=yes\n"), win::ID_WIZFINISH);
    EXPECT_EQ(sheet.GetChoice(kChoiceApplySharedUpdates), 0) << "the page does not apply";
}
