#pragma once

#include "platform/WinTypes.h"

#include <string>

class CSetupSheet;

/// The home directory as the product and the other workstations reach it: "\\<this computer>\<share
/// name>" when the shared files are kept here (install types 0 and 1), the path the user gave for
/// install type 2.
std::string HomeDirectoryUncPath(const CSetupSheet& sheet);

/// Gives the network user full control over the home directory and shares it: reads the folder's
/// DACL, adds the user (an existing one is left as it is) and makes a new one a member of "Users",
/// puts the user's access entry first in the DACL, sets it, and shares the folder (an existing
/// share of that name counts as done). Returns ERROR_SUCCESS, or the status or system error code
/// of the call that failed; whatever was done before the failure stays.
DWORD GrantNetworkAccess(const CSetupSheet& sheet);

/// The first installation's home directory: for shared files kept here, creates the folder, the
/// network user, its access and the share (GrantNetworkAccess) and the main and creditor
/// databases in it; then, for every install type, writes the settings per user and their
/// machine-wide copy. Each step is logged. On a failure the user is told ("Unable to create home
/// directory '...'", "Error creating user or network share - <code>", "Setup was unable to create
/// the main Tallymar database", "Setup was unable to create the creditor database"; stop icon),
/// the message is logged, nothing done so far is undone and the result is false. Settings that
/// cannot be written are only logged.
bool SetupHomeDirectory(CSetupSheet& sheet);
