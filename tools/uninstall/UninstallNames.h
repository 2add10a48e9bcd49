#pragma once

// What the installation leaves for the uninstaller to find: the manifest beside the program, the
// keys it registered, the texts it gave the share and the network user.
namespace tl::uninstall {

inline constexpr char kProgramName[] = "TLMUINST.EXE";
inline constexpr char kManifestName[] = "TLMUINST.xml";
inline constexpr char kManifestRoot[] = "TallymarUninstall";
inline constexpr char kDeleteFile[] = "DeleteFile";
inline constexpr char kDeleteKey[] = "DeleteKey";

/// The entry in Windows' list of installed programs (HKEY_LOCAL_MACHINE).
inline constexpr char kRegistrationKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallymar";
/// The product's registration with the scanner software (HKEY_LOCAL_MACHINE).
inline constexpr char kScannerKey[] = "Software\\PFU\\ScanSnap Extension\\TallymarConnection";
/// The settings value that names the firm's home directory (per user, and in the machine-wide copy).
inline constexpr char kHomeDirectoryValue[] = "HomeDirectory";

/// The comment the installation gives the network user it makes for the home directory's share.
inline constexpr char kNetworkUserComment[] = "Tallymar network user";

/// The name the product is listed under.
inline constexpr char kDisplayName[] = "Tallydesk";

} // namespace tl::uninstall
