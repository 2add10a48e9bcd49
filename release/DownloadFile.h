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
/// stream), which replaces the target once it is complete, so memory does not grow with the file.
/// A non-negative fileTime (a Windows file time) becomes its last-write time; a negative one keeps
/// the time of writing.
///
/// size and sha256 are the manifest's Size and Sha256 texts of the file as installed (empty: not
/// given); the file is checked against them while it streams, and a Size also ends the transfer
/// at that many bytes. A file that is not what they say logs "**** <dest> failed verification
/// (expected <x>, got <y>)"; a text that is not a size or digest logs "**** The file manifest
/// gives <dest> an unreadable <text>".
///
/// Returns true when the file is in place. A failed fetch or check shows "Error downloading
/// <name>"; a file-system error shows its own text; either way an existing file stays as it was.
/// A name that is not a plain file name is refused with a "****" log line.
bool DownloadFile(CSetupSheet& sheet, const std::string& name, int kind, std::int64_t fileTime,
                  std::string_view size = {}, std::string_view sha256 = {});

/// Downloads the product file for name and kind as DownloadFile does, checked the same way with
/// the same messages, but into staged (a Windows path on the target's file system) instead of
/// the target, which is not touched: an update moves it in later. The target must be replaceable
/// (not read-only, not a folder). Nothing is logged or recorded on success.
bool StageProductFile(CSetupSheet& sheet, const std::string& name, int kind, std::int64_t fileTime,
                      std::string_view size, std::string_view sha256, const std::string& staged);

/// Records an installed product file (dest, its target path) for the uninstaller, except
/// TLMUINST.EXE itself.
void RecordInstalledFile(CSetupSheet& sheet, const std::string& name, const std::string& dest);

/// Deletes an obsolete product file and forgets its uninstall entry; failures are only logged.
void DeleteObsoleteFile(CSetupSheet& sheet, const std::string& name, int kind);
