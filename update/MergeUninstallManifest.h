#pragma once

#include <string>
#include <vector>

class CSetupSheet;

/// Brings the installed uninstall manifest, installDirectory + "\TLMUINST.xml", up to date with
/// what the update did, so the uninstaller removes what the update brought:
/// - each "DeleteFile" entry the update recorded in the sheet that the file lacks (paths compared
///   without regard to case) is added once, after the file's last "DeleteFile" entry, so that its
///   "DeleteKey" entries stay last; with install type 2 files in the home directory are not added,
///   since they belong to the computer that keeps the shared files;
/// - every "DeleteFile" entry of a path in deletedFiles is removed.
/// The other entries keep their order. The file is written only when this changes it, in the
/// format of the first installation, as a whole (readers see the old manifest or the new one);
/// the sheet's uninstall manifest is then the merged one. Logs "Setup recorded <n> new and <m>
/// removed entries in <path>". A missing manifest is not made up from the update's entries alone,
/// and one that cannot be read as an uninstall manifest is left as it is; both are logged with
/// "****", as is a failed write. Returns true when the file holds the update's entries.
bool MergeUninstallManifest(CSetupSheet& sheet, const std::vector<std::string>& deletedFiles);
