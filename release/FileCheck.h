#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// What the file manifest says of a product file as installed (after inflation): its size in
/// bytes and its SHA-256, either of which may be absent. An entry with neither is not checked.
struct FileCheck {
    std::optional<std::uint64_t> size;
    std::string sha256; ///< 64 lower-case hexadecimal digits; empty when the manifest gives none

    bool Empty() const { return !size && sha256.empty(); }
};

/// Reads the manifest's Size (decimal digits) and Sha256 (64 hexadecimal digits, either case)
/// texts; an empty text gives no check. False when a text is given but is not of its form, with
/// problem naming it ("Size \"12 kB\""): such an entry cannot be checked and is not downloaded.
bool ReadFileCheck(std::string_view size, std::string_view sha256, FileCheck& check, std::string& problem);
