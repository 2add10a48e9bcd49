#pragma once

#include <string>

/// The installation directory proposed by the pages that ask for it: the Program Files folder
/// followed by "\Fenmore Software\Tallymar"; empty when the machine has no Program Files folder.
std::string DefaultInstallDirectory();

/// What Next on the installation-directory page checks, with the confirmation that the page
/// remembers: the folder must lie on a local hard drive, and a folder that does not exist needs
/// the user's consent to be created later (it is not created here).
class InstallDirectoryCheck {
public:
    /// Runs the checks, telling the user through the user interface. Returns false, after the stop
    /// message (199), for a path that is not on a local hard drive, and when the user answers No
    /// to creating a missing folder (181); a Yes is remembered until ForgetConfirmation.
    bool Run(const std::string& path);

    /// Called when the path is edited or browsed: the next Next asks again.
    void ForgetConfirmation() { creationConfirmed_ = false; }
    bool CreationConfirmed() const { return creationConfirmed_; }

private:
    bool creationConfirmed_ = false;
};
