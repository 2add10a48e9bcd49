#pragma once

class CSetupSheet;

/// Points the product's program links, in the all-users Start menu and then on the desktop, at
/// the starter program installDirectory + "\TlSplash.exe": each existing link file is deleted and
/// written again. Nothing is recorded for the uninstaller (the first installation did that).
/// Logs "Setup created a desktop shortcut to <install directory>\TlSplash.exe" per link, or
/// "Error <HRESULT> trying to create a desktop shortcut to ..." when a step fails; a link that
/// cannot be made does not stop the update.
void RefreshProgramLinks(CSetupSheet& sheet);
