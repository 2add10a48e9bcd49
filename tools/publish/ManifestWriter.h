#pragma once

#include "tools/publish/ReleaseDescription.h"
#include "tools/publish/ServedFile.h"

#include <optional>
#include <string>
#include <vector>

/// A release entry with what publishing its file found out.
struct PublishedEntry {
    const ReleaseEntry* entry = nullptr;
    std::string version;            ///< a module's "a.b.c.d"
    std::string date;               ///< a support file's modification date (UTC), "MM/DD/YYYY"
    std::string time;               ///< and time of day, "HH:MM:SS"
    std::optional<ServedFile> file; ///< nullopt for an obsolete entry, which has no file
};

/// The text of CurrentVersion.xml: the release's levels, every module, then every support file,
/// then every alert, each in the order given, written with the program's own XML writer. Besides
/// the fields the setup program binds, each entry with a file carries Size and Sha256 of the file
/// as installed. Always the same bytes for the same arguments.
std::string ManifestText(const ReleaseDescription& release, const std::vector<PublishedEntry>& entries);
