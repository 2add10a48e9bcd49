#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CSetupSheet;

/// The folder of a kind (FolderInstall: the install directory, FolderHome: the home directory,
/// FolderLocalAppData: the local application data folder) + "\" + name.
std::string TargetPathFor(const CSetupSheet& sheet, std::string_view name, int kind);

/// The name a product file has on the file server: a name ending in "mdb", "ini" or "tlv" (any
/// case) ends in "exe", "txt" or "bin" there; any other name is unchanged.
std::string ServerFileName(std::string_view name);

/// theFileServerUrl + "CurrentVersion/" + the server name, with the bytes a URL path cannot carry
/// percent-encoded.
std::string DownloadUrlFor(std::string_view name);

/// Downloads one product file into its target folder, creating the folders above it, and
/// records it for the uninstaller (except TLMUINST.EXE itself). The file streams from the transfer
/// into a temporary file beside the target (inflated on the way when the server sent it as a zlib
/// stream), which replaces the target once it is complete, so memory does not grow with the file. A
/// non-negative fileTime (a Windows file time) becomes its last-write time; a negative one keeps the time of
/// writing. Returns true when the file is in place. A failed fetch shows "Error downloading <name>"; a
/// file-system error shows its own text; either way an existing file stays as it was. A name
/// that is not a plain file name is refused with a "****" log line.
bool DownloadFile(CSetupSheet& sheet, const std::string& name, int kind, std::int64_t fileTime);

/// Deletes an obsolete product file and forgets its uninstall entry; failures are only logged.
void DeleteObsoleteFile(CSetupSheet& sheet, const std::string& name, int kind);
