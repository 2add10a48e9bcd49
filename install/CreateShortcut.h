#pragma once

#include "release/ShellShortcut.h"

#include <string>

class CSetupSheet;

/// Creates a shell link to target named name (also its description) in the shell folder csidl,
/// creating the folders it needs, and records the link (and, outside the desktop, the Tallydesk
/// folder) in the uninstall manifest before trying. Logs "Setup created a desktop shortcut to
/// <target> named <name>", or "**** Error <HRESULT> trying to create a desktop shortcut to ..."
/// when a step fails. Always returns true: a link that cannot be made does not stop the run.
bool CreateShortcut(CSetupSheet& sheet, const std::string& target, int csidl, const std::string& name);
