#pragma once

#include <string>

// The program's string table: captions, page headers, prompts and messages by number. The numbers
// are the program's own; message texts with "%s" are formats for tl::Format.

enum StringId : unsigned {
    IDS_CONFIRM_EXIT_SETUP = 119, ///< cancel confirmation of the installation wizard's pages
    IDS_SETUP_WIZARD = 122,       ///< caption of the installation wizard
    IDS_LICENSE_TITLE = 155,
    IDS_LICENSE_SUBTITLE = 156,
    IDS_FIRM_TITLE = 157,
    IDS_FIRM_SUBTITLE = 158,
    IDS_FINISH_TITLE = 159,
    IDS_FINISH_SUBTITLE = 160,
    IDS_ATTORNEY_PASSWORD_TITLE = 161,
    IDS_ATTORNEY_PASSWORD_SUBTITLE = 162,
    IDS_STAFF_PASSWORD_TITLE = 163,
    IDS_INSTALL_DIR_PROMPT = 164,
    IDS_STAFF_PASSWORD_SUBTITLE = 165,
    IDS_INSTALL_DIR_TITLE = 166,
    IDS_INSTALL_DIR_SUBTITLE = 167,
    IDS_HOME_DIR_TITLE = 168,
    IDS_HOME_DIR_SUBTITLE = 169,
    IDS_HOME_DIR_PROMPT_LOCAL = 170,
    IDS_HOME_DIR_PROMPT_REMOTE = 171,
    IDS_HOME_DIR_PROMPT_SHARED = 172,
    IDS_ATTORNEY_SETUP_TITLE = 173,
    IDS_ATTORNEY_SETUP_SUBTITLE = 174,
    IDS_STATES_TITLE = 175,
    IDS_STATES_SUBTITLE = 176,
    IDS_LICENSE_PROMPT_AGREE = 177,
    IDS_LICENSE_PROMPT_UNDERSTAND = 178,
    IDS_CONFIRM_CREATE_FOLDER = 181,
    IDS_SHARE_NAME_TAKEN = 182,
    IDS_CONFIRM_CREATE_AND_SHARE = 183,
    IDS_CONFIRM_SHARE = 184,
    IDS_SHARE_NAME_CHARACTERS = 187,
    IDS_HOME_DIR_NO_DATABASES = 188,
    IDS_UPDATE_WIZARD = 189, ///< caption of the update wizard
    IDS_UPDATE_INSTALL_DIR_TITLE = 190,
    IDS_CONFIRM_EXIT_UPDATE = 191, ///< cancel confirmation of the update wizard's own pages
    IDS_UPDATE_INSTALL_DIR_SUBTITLE = 192,
    IDS_NO_EXECUTABLES = 193,
    IDS_INSTALL_TYPE_TITLE = 194,
    IDS_INSTALL_TYPE_SUBTITLE = 195,
    IDS_UPDATE_STATES_TITLE = 196,
    IDS_UPDATE_STATES_SUBTITLE = 197,
    IDS_HOME_DIR_NOT_LOCAL = 198,
    IDS_INSTALL_DIR_NOT_LOCAL = 199,
    IDS_SHARED_UPDATES_TITLE = 202,
    IDS_SHARED_UPDATES_SUBTITLE = 203,
    IDS_HOME_DIR_SPACES = 1017,
};

namespace tl {

/// The text of a string-table entry; empty for a number the table does not hold.
std::string LoadString(unsigned id);

} // namespace tl
