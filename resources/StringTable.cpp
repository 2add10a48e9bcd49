#include "resources/StringTable.h"

#include <algorithm>
#include <iterator>

namespace tl {

namespace {

struct Entry {
    unsigned id;
    const char* text;
};

// Sorted by number.
constexpr Entry kStrings[] = {
    {IDS_CONFIRM_EXIT_SETUP, "If you exit now from the wizard, you will not be able to use Tallymar on this "
                             "computer. Do you want to exit?"},
    {IDS_SETUP_WIZARD, "Tallymar Setup Wizard"},
    {IDS_LICENSE_TITLE, "End user license agreement"},
    {IDS_LICENSE_SUBTITLE, "Please review and approve this end user license agreement"},
    {IDS_FIRM_TITLE, "User name and master password"},
    {IDS_FIRM_SUBTITLE, "Enter the user name and password for encrypting client data"},
    {IDS_FINISH_TITLE, "Finish setting up Tallymar"},
    {IDS_FINISH_SUBTITLE, "The setup wizard is now ready to setup Tallymar."},
    {IDS_ATTORNEY_PASSWORD_TITLE, "Attorney password"},
    {IDS_ATTORNEY_PASSWORD_SUBTITLE, "Specify a login password for attorney users in your office"},
    {IDS_STAFF_PASSWORD_TITLE, "Staff password"},
    {IDS_INSTALL_DIR_PROMPT, "Select the folder where Setup should install the Tallymar executable files."},
    {IDS_STAFF_PASSWORD_SUBTITLE, "Specify a login password for non-attorney users in your office"},
    {IDS_INSTALL_DIR_TITLE, "Installation Directory"},
    {IDS_INSTALL_DIR_SUBTITLE, "Specify where Tallymar will reside"},
    {IDS_HOME_DIR_TITLE, "Home Directory"},
    {IDS_HOME_DIR_SUBTITLE, "Specify the \"home directory\" for client files"},
    {IDS_HOME_DIR_PROMPT_LOCAL, "Select the folder where Tallymar will keep its databases and all other "
                                "information about cases and clients."},
    {IDS_HOME_DIR_PROMPT_REMOTE,
     "Select the same folder you specified as the Home Directory on the main computer. "},
    {IDS_HOME_DIR_PROMPT_SHARED,
     "Select the folder where Tallymar will keep its databases and all other information about cases and "
     "clients. Network users must be able to create, read, write, and delete files in this folder, and all "
     "network users should use an identical name such as \\\\server\\sharename to reach it."},
    {IDS_ATTORNEY_SETUP_TITLE, "Attorney Setup"},
    {IDS_ATTORNEY_SETUP_SUBTITLE,
     "Indicate whether you would like to setup the list of attorneys who will use Tallymar"},
    {IDS_STATES_TITLE, "State practice modules"},
    {IDS_STATES_SUBTITLE, "Check the box(es) for states in which anyone using this workstation will file "
                          "bankruptcy cases"},
    {IDS_LICENSE_PROMPT_AGREE, ""},
    {IDS_LICENSE_PROMPT_UNDERSTAND, ""},
    {IDS_CONFIRM_CREATE_FOLDER, "'%s' does not exist. Do you want the setup program to create it?"},
    {IDS_SHARE_NAME_TAKEN, "The specified network share name (%s) already exists as the name of a different "
                           "folder (%s) on this computer."},
    {IDS_CONFIRM_CREATE_AND_SHARE,
     "'%s' does not exist. Do you want the setup program to create it, share it "
     "on the network as '%s', and give user '%s' full control over it?"},
    {IDS_CONFIRM_SHARE, "Do you want the setup program to share '%s' on the network as '%s' and to give user "
                        "'%s' full control over it?"},
    {IDS_SHARE_NAME_CHARACTERS,
     "The share name for the home directory should not contain any spaces or other special characters"},
    {IDS_HOME_DIR_NO_DATABASES,
     "The home directory you specified does not appear to contain the databases Tallymar needs. A possible "
     "cause of this error is failure to run Setup on the computer where the home directory resides before "
     "setting up this workstation."},
    {IDS_UPDATE_WIZARD, "Tallymar Update Wizard"},
    {IDS_UPDATE_INSTALL_DIR_TITLE, "Installation Directory"},
    {IDS_CONFIRM_EXIT_UPDATE,
     "If you exit now from the wizard, your copy of Tallymar will not be updated. Do "
     "you want to exit?"},
    {IDS_UPDATE_INSTALL_DIR_SUBTITLE, "Specify where you previously installed Tallymar on this computer"},
    {IDS_NO_EXECUTABLES, "The directory you specified doesn't contain the Tallymar executable files."},
    {IDS_INSTALL_TYPE_TITLE, "Installation Type"},
    {IDS_INSTALL_TYPE_SUBTITLE, "Indicate how you setup Tallymar previously"},
    {IDS_UPDATE_STATES_TITLE, "State practice modules"},
    {IDS_UPDATE_STATES_SUBTITLE, "Check the box(es) for states in which anyone using this workstation will "
                                 "file bankruptcy cases"},
    {IDS_HOME_DIR_NOT_LOCAL, "The home directory must be a location on a local hard drive"},
    {IDS_INSTALL_DIR_NOT_LOCAL, "The installation directory must be a location on a local hard drive"},
    {IDS_SHARED_UPDATES_TITLE, "Shared file updates"},
    {IDS_SHARED_UPDATES_SUBTITLE, "Indicate whether you want to apply needed updates to shared files now"},
    {IDS_HOME_DIR_SPACES, "The home directory name must not contain any space characters"},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));

} // namespace

std::string LoadString(unsigned id) {
    const auto* found =
        std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                         [](const Entry& entry, unsigned wanted) { return entry.id < wanted; });
    if (found == std::end(kStrings) || found->id != id)
        return {};
    return found->text;
}

} // namespace tl
