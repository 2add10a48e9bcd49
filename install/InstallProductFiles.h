#pragma once

#include <cstdint>

class CSetupSheet;
class XSupportFile;

/// The first installation's product files, shortcuts and uninstall registration, behind the
/// progress window: every module and support file of the manifest that is not obsolete, not bound
/// for the home directory of another computer (install type 2), and marked to be installed when
/// absent or a practice module of a chosen state, is downloaded into its folder (support files
/// with the manifest's time; "tlmscanx.ini" always, followed by the scanner registration). Then
/// the uninstall manifest's own entry, the three shortcuts (the starter TlSplash.exe, or
/// Tallymar.exe when it is absent, in the Start menu and on the desktop; the home directory on the
/// desktop under the share name) and the uninstall registration.
///
/// failedFiles receives how many files could not be downloaded (each already told to the user by
/// the download). With any, logs "**** <n> product files could not be downloaded" and returns
/// false; the rest of the step is done either way.
bool InstallProductFiles(CSetupSheet& sheet, int& failedFiles);

/// The manifest's Date and Time ("hours:minutes:seconds") of a support file as a Windows file
/// time, read as UTC; -1 (keep the time of writing) when they make no valid time.
std::int64_t SupportFileTime(const XSupportFile& file);
