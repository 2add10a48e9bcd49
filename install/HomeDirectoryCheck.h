#pragma once

#include <string>
#include <string_view>

/// True when a share name holds one of the 30 characters a share name for the home directory
/// must not contain: blank " ' ! @ # $ % ^ & * ( ) + | \ = - : ; [ ] { } / . , < > ?
bool HasForbiddenShareCharacter(std::string_view shareName);

/// The home-directory page's answers as Next sees them.
struct HomeDirectoryAnswers {
    std::string path;
    std::string shareName;
    std::string userName;
    int installType = 0;
};

/// Whether the page's Next is enabled: a path and, unless the shared files are on a different
/// computer, a share name and a user name.
bool IsComplete(const HomeDirectoryAnswers& answers);

/// What Next on the home-directory page checks, in order, with the confirmations that the page
/// remembers until the values they name are edited.
class HomeDirectoryCheck {
public:
    /// Runs the checks, telling the user through the user interface, and returns true when the
    /// page may move on. Refuses, with its stop message: a space after the first character (1017);
    /// for shared files here, a path not on a local hard drive (198) and a share name that this
    /// computer already uses for a different folder (182); for shared files elsewhere, a folder
    /// without the four databases (188); when the folder must be created or shared, a share name
    /// with a forbidden character (187). Then asks to create and/or share (183, 181, 184); No
    /// refuses, Yes is remembered for both.
    bool Run(const HomeDirectoryAnswers& answers);

    /// The path was typed or browsed: creating and sharing are asked again. (The sharing question
    /// names the folder, so a Yes given for another folder no longer counts.)
    void PathEdited() { creationConfirmed_ = sharingConfirmed_ = false; }
    /// The share name or the user name was edited: sharing is asked again.
    void SharingEdited() { sharingConfirmed_ = false; }

    bool CreationConfirmed() const { return creationConfirmed_; }
    bool SharingConfirmed() const { return sharingConfirmed_; }

private:
    bool CheckShareOnThisComputer(const HomeDirectoryAnswers& answers, bool& needShare) const;
    static bool HasAllDatabases(const std::string& path);
    bool Confirm(const HomeDirectoryAnswers& answers, bool needCreate, bool needShare);

    bool creationConfirmed_ = false;
    bool sharingConfirmed_ = false;
};
