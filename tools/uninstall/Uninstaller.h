#pragma once

#include "app/InstallLog.h"
#include "tools/uninstall/HomeDirectory.h"
#include "tools/uninstall/UninstallPlan.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tl::uninstall {

/// The exit codes of the uninstaller, as tlinstall's.
enum ExitCode : int { kExitDone = 0, kExitStepFailed = 1, kExitBadInput = 2, kExitCancelled = 3 };

/// Told what the uninstaller is doing, from the thread that runs it.
class UninstallProgress {
public:
    virtual ~UninstallProgress() = default;
    /// Step done of total is starting; text says what it does.
    virtual void Step(const std::string& text, int done, int total) = 0;
};

/// What a run came to.
struct UninstallResult {
    int exitCode = kExitDone;
    int failed = 0;                   ///< steps that went wrong and may succeed when run again
    int refused = 0;                  ///< manifest entries never carried out
    std::vector<std::string> summary; ///< sentences for the user
};

/// Removes the product from this computer as TLMUINST.xml beside the program says.
class Uninstaller {
public:
    /// programFile: the host path of the running TLMUINST.EXE; its folder holds the manifest.
    explicit Uninstaller(std::filesystem::path programFile);

    /// Reads the manifest and finds the home directory; changes nothing. False when the manifest
    /// is missing or damaged (Error() has the reader's message, written to the log as well unless
    /// log is false).
    bool Prepare(bool log = true);
    const std::string& Error() const { return error_; }
    const HomeDirectory& Home() const { return inputs_.home; }
    /// The Windows path of the manifest ("" when it is not on a drive of this computer).
    std::string ManifestPath() const;

    /// The steps a run would take, after Prepare.
    std::vector<UninstallAction> Plan(bool removeData) const;

    /// Carries the plan out, logging every step; removes the firm's data only with removeData.
    /// A step that fails is logged and the others still run; the registration, the manifest and
    /// the program then stay, so that a second run can finish the job.
    UninstallResult Run(bool removeData, UninstallProgress* progress);

private:
    struct Outcome;
    Outcome Carry(const UninstallAction& action, bool allSucceeded);
    void RemoveUpdateLock();
    Outcome Failed(DWORD code, const char* what, const UninstallAction& action);
    Outcome DeleteFile(const UninstallAction& action);
    Outcome RemoveFolder(const UninstallAction& action);
    Outcome DeleteKey(const UninstallAction& action);
    Outcome RemoveProgram(const UninstallAction& action);
    Outcome RemoveNetworkUsers();
    void Log(const std::string& message);
    std::vector<std::string> Summary(const UninstallResult& result, bool removeData) const;

    UninstallInputs inputs_;
    std::string error_;
    InstallLog log_;
};

} // namespace tl::uninstall
