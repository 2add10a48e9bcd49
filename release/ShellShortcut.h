#pragma once

#include "platform/ShellLink.h"

#include <string>

// The product's shell links, as the first installation makes them and the update renews them.

/// The name of the product's Start-menu folder and of its program links.
inline constexpr char kShortcutName[] = "Tallydesk";

/// What a link step reports when the shell has no folder for the CSIDL (E_FAIL).
inline constexpr win::HRESULT kNoShellFolder = static_cast<win::HRESULT>(0x80004005u);

/// The link file for a shell folder: "<folder>\<name>.lnk" on the desktop
/// (CSIDL_DESKTOPDIRECTORY), "<folder>\Tallydesk\<name>.lnk" in any other folder.
std::string ShortcutPath(const std::string& folder, int csidl, const std::string& name);

/// Writes a shell link to target with name as its description at linkPath, creating the folders
/// that will contain it. Returns S_OK or the HRESULT of the step that failed.
win::HRESULT WriteShellLink(const std::string& target, const std::string& name, const std::string& linkPath);
