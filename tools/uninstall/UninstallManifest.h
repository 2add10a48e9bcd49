#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tl::uninstall {

/// One entry of TLMUINST.xml, in the order the installation recorded it.
struct ManifestEntry {
    enum class Kind { DeleteFile, DeleteKey, Unknown };
    Kind kind = Kind::Unknown;
    std::string element; ///< the element's name as written
    std::string text;    ///< a Windows path or a registry key path, entities decoded
};

/// What reading the manifest gave: its entries, or why it cannot be used.
struct UninstallManifest {
    bool ok = false;
    std::string error; ///< the reader's message when not ok (the parser's own text for bad XML)
    std::vector<ManifestEntry> entries;
};

/// Reads and parses the manifest file with the program's XML reader. Not ok when the file cannot
/// be read ("Cannot read <file>: <reason>"), when the parser reports an error (its message), or
/// when the file does not hold exactly one "TallymarUninstall" element. Element names are compared
/// without regard to case; unknown elements are kept as Kind::Unknown for the caller to refuse.
UninstallManifest ReadUninstallManifest(const std::filesystem::path& file);

/// The same on text already read.
UninstallManifest ParseUninstallManifest(const std::string& text);

} // namespace tl::uninstall
