#pragma once

#include <string>

class CSetupSheet;

/// The name of the product's Start-menu folder and of its program links.
inline constexpr char kShortcutName[] = "Tallydesk";

/// The link file for a shell folder: "<folder>\<name>.lnk" on the desktop
/// (CSIDL_DESKTOPDIRECTORY), "<folder>\Tallydesk\<name>.lnk" in any other folder.
std::string ShortcutPath(const std::string& folder, int csidl, const std::string& name);

/// Creates a shell link to target named name (also its description) in the shell folder csidl,
/// creating the folders it needs, and records the link (and, outside the desktop, the Tallydesk
/// folder) in the uninstall manifest before trying. Logs "Setup created a desktop shortcut to
/// <target> named <name>", or "**** Error <HRESULT> trying to create a desktop shortcut to ..."
/// when a step fails. Always returns true: a link that cannot be made does not stop the run.
bool CreateShortcut(CSetupSheet& sheet, const std::string& target, int csidl, const std::string& name);
