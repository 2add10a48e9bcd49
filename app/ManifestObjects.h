#pragma once

#include "tables/CPackedDate.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The online file manifest ("CurrentVersion.xml") as bound objects. They are the run's state:
// the sheet owns them from the manifest fetch to the end of the run.

/// Flags of modules and support files.
inline constexpr std::int32_t FlagAlwaysReplace = 0x01;    ///< replace an existing file without comparing
inline constexpr std::int32_t FlagInstallIfAbsent = 0x02;  ///< install a missing file
inline constexpr std::int32_t FlagSharedFolder = 0x08;     ///< lives in the home directory
inline constexpr std::int32_t FlagStateModule = 0x10;      ///< install a missing file only for a chosen state
inline constexpr std::int32_t FlagObsolete = 0x20;         ///< delete an existing file
inline constexpr std::int32_t FlagLocalAppData = 0x40;     ///< lives in the local application data folder
inline constexpr std::int32_t FlagImportKindMask = 0x0F00; ///< support files: the importer that reads it

/// Target folder kinds.
enum FolderKind : int { FolderInstall = 0, FolderHome = 1, FolderLocalAppData = 2 };

/// FolderHome when FlagSharedFolder is set (it wins over FlagLocalAppData), else FolderLocalAppData
/// when FlagLocalAppData is set, else FolderInstall.
inline int FolderKindFromFlags(std::int32_t flags) {
    if ((flags & FlagSharedFolder) != 0)
        return FolderHome;
    if ((flags & FlagLocalAppData) != 0)
        return FolderLocalAppData;
    return FolderInstall;
}

/// The reference-data importer of a support file: 0 none, 1 checklist, 2 creditors, 3 trustees,
/// 4 chapter 13 provisions, 5 plan text.
inline int ImportKindFromFlags(std::int32_t flags) {
    return (flags & FlagImportKindMask) >> 8;
}

/// A program file compared by the version in its version resource.
class XModule {
public:
    std::string Name;
    std::string Description;
    std::string Version;
    std::string Remarks;
    std::string State;
    std::int32_t Flags = 0;
    std::string Size; ///< the installed file's size in decimal bytes, as the manifest gives it; may be empty
    std::string Sha256; ///< its SHA-256 in 64 hexadecimal digits; may be empty
};

/// A file compared by date and time.
class XSupportFile {
public:
    std::string Name;
    std::string Description;
    CPackedDate Date;
    std::string Time;
    std::string Remarks;
    std::string State;
    std::int32_t Flags = 0;
    std::string Size;   ///< as XModule::Size
    std::string Sha256; ///< as XModule::Sha256
};

class XAlert {
public:
    std::string ID;
    CPackedDate Effective;
    CPackedDate Expires;
    std::string Level;
    std::string Text;
};

/// One manifest: its files in document order and the levels the release expects.
class XCurrentVersion {
public:
    std::vector<std::unique_ptr<XModule>> Modules;
    std::vector<std::unique_ptr<XSupportFile>> SupportFiles;
    std::vector<std::unique_ptr<XAlert>> Alerts;
    std::int32_t DatabaseLevel = 0;
    std::int32_t UpdateLevel = 0; ///< 0 when the manifest does not give one
};
