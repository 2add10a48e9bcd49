#include "tests/update/UpdateRunTestBase.h"

#include "app/ProfileSettings.h"
#include "platform/ElfVersionNote.h"
#include "platform/WinTypes.h"
#include "update/EcfMonitorShutdown.h"
#include "update/RunUpdate.h"
#include "update/UpdateList.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace tltest {

namespace {

void PutLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The program's version note (platform/ElfVersionNote.h) set to version.
std::string WithVersion(std::string program, const std::string& version) {
    std::string header(24, '\0');
    PutLittleEndian(header, 0, sizeof tl::kElfVersionNoteName, 4);
    PutLittleEndian(header, 4, tl::kElfVersionNoteDescSize, 4);
    PutLittleEndian(header, 8, tl::kElfVersionNoteType, 4);
    header.replace(12, 8, "Tallymar");
    const std::size_t note = program.find(header);
    EXPECT_NE(note, std::string::npos) << "no version note";
    unsigned parts[4] = {};
    EXPECT_EQ(std::sscanf(version.c_str(), "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]), 4);
    for (std::size_t part = 0; part < 4 && note != std::string::npos; ++part)
        PutLittleEndian(program, note + header.size() + 2 * part, parts[part], 2);
    return program;
}

} // namespace

UpdateRunTest::UpdateRunTest() {
    goldenFolder = "update";
    UseVersionedRelease();
    ui.updateWizard = [this](CSetupSheet& sheet) {
        WizardRun run{sheet.installDirectory, sheet.installType, false, {}};
        if (sheet.installDirectory.empty())
            sheet.installDirectory = update.installDirectory;
        if (sheet.installType < 0)
            sheet.installType = update.installType;
        sheet.states = update.states;
        run.sharedUpdatesPage = sheet.installType == 2 && sheet.sharedUpdatesNeeded != 0;
        if (run.sharedUpdatesPage)
            sheet.SetChoice(kChoiceApplySharedUpdates, update.applySharedUpdates);
        BuildUpdateList(sheet);
        for (const UpdateItem& item : theUpdateList)
            run.rows.push_back(
                item.Name + "|" +
                ((item.Flags & FlagObsolete) != 0 ? "Obsolete - will be deleted" : item.Description));
        wizardRuns.push_back(run);
        return update.finish ? win::ID_WIZFINISH : win::IDCANCEL;
    };
}

std::string UpdateRunTest::VersionedProgram(const std::string& name, const std::string& version) {
    // The import proxy is run from where it is installed; the others are the smallest of our
    // programs, which the update only compares and copies. Bytes after a program tell the copies
    // apart.
    const char* program = name == "TLMFIMPRT.EXE" ? TL_IMPORT_PROXY : TL_SPLASH_STANDIN;
    return WithVersion(ReadFile(program), version) + "\n" + name + " " + version;
}

void UpdateRunTest::UseVersionedRelease() {
    UseStandardRelease();
    databaseLevel = 15;
    modules.push_back({"TLMECF.EXE", 0x02, "", "", "", "", true});
    modules.push_back({"Legacy.dll", 0x02, "", "", "", "", false});
    for (ReleaseFile& module : modules)
        NewVersion(module.name, "1.0.0.1");
}

FullInstallTest::ReleaseFile& UpdateRunTest::File(const std::string& name) {
    for (auto* list : {&modules, &supportFiles}) {
        for (ReleaseFile& file : *list) {
            if (file.name == name)
                return file;
        }
    }
    ADD_FAILURE() << name << " is not in the release";
    return modules.front();
}

void UpdateRunTest::NewVersion(const std::string& name, const std::string& version) {
    ReleaseFile& module = File(name);
    module.version = version;
    module.content = VersionedProgram(name, version);
}

void UpdateRunTest::NewDate(const std::string& name, const std::string& date, const std::string& time) {
    ReleaseFile& file = File(name);
    file.date = date;
    file.time = time;
}

void UpdateRunTest::InstallFirst() {
    ASSERT_TRUE(Install()) << ::testing::PrintToString(MessageTexts());
    installMessages_ = ui.Messages().size();
    installProgressEvents_ = ui.ProgressEvents().size();
}

int UpdateRunTest::Update() {
    Publish();
    return RunUpdate(0);
}

std::vector<std::string> UpdateRunTest::UpdateLogLines() {
    const std::vector<std::string> lines = LogLines();
    auto begin = lines.end();
    for (auto line = lines.begin(); line != lines.end(); ++line) {
        if (*line == "**** Beginning update")
            begin = line;
    }
    return {begin, lines.end()};
}

std::vector<std::string> UpdateRunTest::UpdateMessages() const {
    const std::vector<std::string> texts = MessageTexts();
    return {texts.begin() + static_cast<std::ptrdiff_t>(std::min(installMessages_, texts.size())),
            texts.end()};
}

std::vector<std::string> UpdateRunTest::UpdateProgressEvents() const {
    const std::vector<std::string>& events = ui.ProgressEvents();
    return {events.begin() + static_cast<std::ptrdiff_t>(std::min(installProgressEvents_, events.size())),
            events.end()};
}

void UpdateRunTest::SetSetting(const char* name, int value) {
    win::RegKey key;
    ASSERT_EQ(GetSectionKey(key), 0);
    if (value < 0)
        win::RegDeleteValue(key, name);
    else
        win::RegSetDword(key, name, static_cast<DWORD>(value));
}

} // namespace tltest
