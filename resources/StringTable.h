#pragma once

#include <string>

// The program's string table: captions, page headers, prompts and messages by number. The numbers
// are the program's own; message texts with "%s" are formats for tl::Format.

/// Cancel confirmation of the installation wizard's pages.
inline constexpr unsigned IDS_CONFIRM_EXIT_SETUP = 119;
/// Caption of the installation wizard.
inline constexpr unsigned IDS_SETUP_WIZARD = 122;
inline constexpr unsigned IDS_LICENSE_TITLE = 155;
inline constexpr unsigned IDS_LICENSE_SUBTITLE = 156;
inline constexpr unsigned IDS_FIRM_TITLE = 157;
inline constexpr unsigned IDS_FIRM_SUBTITLE = 158;
inline constexpr unsigned IDS_FINISH_TITLE = 159;
inline constexpr unsigned IDS_FINISH_SUBTITLE = 160;
inline constexpr unsigned IDS_ATTORNEY_PASSWORD_TITLE = 161;
inline constexpr unsigned IDS_ATTORNEY_PASSWORD_SUBTITLE = 162;
inline constexpr unsigned IDS_STAFF_PASSWORD_TITLE = 163;
inline constexpr unsigned IDS_INSTALL_DIR_PROMPT = 164;
inline constexpr unsigned IDS_STAFF_PASSWORD_SUBTITLE = 165;
inline constexpr unsigned IDS_INSTALL_DIR_TITLE = 166;
inline constexpr unsigned IDS_INSTALL_DIR_SUBTITLE = 167;
inline constexpr unsigned IDS_HOME_DIR_TITLE = 168;
inline constexpr unsigned IDS_HOME_DIR_SUBTITLE = 169;
inline constexpr unsigned IDS_HOME_DIR_PROMPT_LOCAL = 170;
inline constexpr unsigned IDS_HOME_DIR_PROMPT_REMOTE = 171;
inline constexpr unsigned IDS_HOME_DIR_PROMPT_SHARED = 172;
inline constexpr unsigned IDS_ATTORNEY_SETUP_TITLE = 173;
inline constexpr unsigned IDS_ATTORNEY_SETUP_SUBTITLE = 174;
inline constexpr unsigned IDS_STATES_TITLE = 175;
inline constexpr unsigned IDS_STATES_SUBTITLE = 176;
inline constexpr unsigned IDS_LICENSE_PROMPT_AGREE = 177;
inline constexpr unsigned IDS_LICENSE_PROMPT_UNDERSTAND = 178;
inline constexpr unsigned IDS_CONFIRM_CREATE_FOLDER = 181;
inline constexpr unsigned IDS_SHARE_NAME_TAKEN = 182;
inline constexpr unsigned IDS_CONFIRM_CREATE_AND_SHARE = 183;
inline constexpr unsigned IDS_CONFIRM_SHARE = 184;
inline constexpr unsigned IDS_SHARE_NAME_CHARACTERS = 187;
inline constexpr unsigned IDS_HOME_DIR_NO_DATABASES = 188;
/// Caption of the update wizard.
inline constexpr unsigned IDS_UPDATE_WIZARD = 189;
inline constexpr unsigned IDS_UPDATE_INSTALL_DIR_TITLE = 190;
/// Cancel confirmation of the update wizard's own pages.
inline constexpr unsigned IDS_CONFIRM_EXIT_UPDATE = 191;
inline constexpr unsigned IDS_UPDATE_INSTALL_DIR_SUBTITLE = 192;
inline constexpr unsigned IDS_NO_EXECUTABLES = 193;
inline constexpr unsigned IDS_INSTALL_TYPE_TITLE = 194;
inline constexpr unsigned IDS_INSTALL_TYPE_SUBTITLE = 195;
inline constexpr unsigned IDS_UPDATE_STATES_TITLE = 196;
inline constexpr unsigned IDS_UPDATE_STATES_SUBTITLE = 197;
inline constexpr unsigned IDS_HOME_DIR_NOT_LOCAL = 198;
inline constexpr unsigned IDS_INSTALL_DIR_NOT_LOCAL = 199;
inline constexpr unsigned IDS_SHARED_UPDATES_TITLE = 202;
inline constexpr unsigned IDS_SHARED_UPDATES_SUBTITLE = 203;
inline constexpr unsigned IDS_HOME_DIR_SPACES = 1017;

namespace tl {

/// The text of a string-table entry; empty for a number the table does not hold.
std::string LoadString(unsigned id);

} // namespace tl
