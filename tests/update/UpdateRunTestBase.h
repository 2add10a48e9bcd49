#pragma once

#include "tests/install/FullInstallTestBase.h"

#include <string>
#include <vector>

namespace tltest {

/// An update of an installation that the first installation made: the release's modules are our
/// programs with version notes, a test changes the release, publishes it again and runs RunUpdate
/// through the scripted user interface, whose update wizard does what its pages do (the list page
/// builds theUpdateList). Golden files are in tests/data/update.
class UpdateRunTest : public FullInstallTest {
protected:
    /// What the user answers on the update wizard's pages.
    struct UpdateAnswers {
        std::string installDirectory = kInstallDirectory; ///< taken only when the settings lack it
        int installType = 0;                              ///< likewise
        std::vector<std::string> states = {"AZ"};
        bool applySharedUpdates = false; ///< the box of the shared-updates page, when it is shown
        bool finish = true;
    };
    /// What one run of the wizard was given and listed.
    struct WizardRun {
        std::string installDirectory;
        int installType = 0;
        bool sharedUpdatesPage = false;
        std::vector<std::string> rows; ///< "<name>|<description or the obsolete note>"
    };

    UpdateRunTest();

    /// The standard release with each module one of our programs with a version note (1.0.0.1),
    /// the ECF monitor and a module Legacy.dll among them, at database level 15.
    void UseVersionedRelease();
    ReleaseFile& File(const std::string& name);
    /// Gives a module of the release a new version, and so new content.
    void NewVersion(const std::string& name, const std::string& version);
    /// Gives a support file of the release a new date and time ("MM/DD/YYYY", "HH:MM:SS").
    void NewDate(const std::string& name, const std::string& date, const std::string& time);
    /// The first installation, which must succeed; what comes after it is the update's.
    void InstallFirst();
    /// Publishes the release and runs the update; its result.
    int Update();

    /// The log lines of the last update, from its "**** Beginning update".
    std::vector<std::string> UpdateLogLines();
    /// The texts of the message boxes since InstallFirst.
    std::vector<std::string> UpdateMessages() const;
    /// The progress window's events since InstallFirst.
    std::vector<std::string> UpdateProgressEvents() const;
    /// Sets a per-user setting, or deletes it for a negative value.
    static void SetSetting(const char* name, int value);

    UpdateAnswers update;
    std::vector<WizardRun> wizardRuns;

private:
    std::string VersionedProgram(const std::string& name, const std::string& version);
    std::size_t installMessages_ = 0;
    std::size_t installProgressEvents_ = 0;
};

} // namespace tltest
