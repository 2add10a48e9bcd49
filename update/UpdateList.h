#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CSetupSheet;

/// One row of the update's work list: a file to install, replace or (with FlagObsolete) delete.
struct UpdateItem {
    std::string Name;
    std::string Description;
    std::string Remarks;
    std::int32_t Flags = 0;
    std::int64_t FileTime = -1; ///< Windows file time for the download; -1: keep the time of writing
    std::string Size;           ///< the manifest's Size and Sha256 texts, which the download checks
    std::string Sha256;
};

/// The work list that the list page shows and the update carries out: all module rows, then all
/// support-file rows, in manifest order. Part of the process's run state (platform/RunState.h).
extern std::vector<UpdateItem>& theUpdateList;

/// Rebuilds theUpdateList from the manifest and the files on disk, logging each decision, and
/// removes from the manifest every module and support file that needs no action (so later
/// readers of the manifest see only the files the update touches). A support file whose Date and
/// Time make no valid time is replaced only when FlagAlwaysReplace says so, and its row carries
/// no time. Names that are not plain file names are logged and dropped. Changes no file.
void BuildUpdateList(CSetupSheet& sheet);

/// Sets the sheet's sharedUpdatesNeeded to 1 when a file of the home directory needs work,
/// logging the comparisons up to the first such file. Changes neither files nor the manifest.
void CheckSharedFileUpdates(CSetupSheet& sheet);
