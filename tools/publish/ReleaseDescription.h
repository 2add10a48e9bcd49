#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

/// One product file of a release as its description lists it.
struct ReleaseEntry {
    enum class Kind { Module, SupportFile };

    Kind kind = Kind::Module;
    std::string name; ///< a plain file name
    std::string description;
    std::string remarks;
    std::string state;
    std::int32_t flags = 0; ///< the manifest's Flags bits, import kind included
    std::size_t line = 0;   ///< the line of the entry's section header

    bool IsModule() const { return kind == Kind::Module; }
};

/// One alert. A date that the description does not give stays nullopt; an empty one is "not
/// applicable"; any other holds the date as the manifest writes it ("MM/DD/YYYY", ...).
struct ReleaseAlert {
    std::string id;
    std::optional<std::string> effective;
    std::optional<std::string> expires;
    std::string level;
    std::string text;
    std::size_t line = 0;
};

/// What a release description says: the levels the release expects, its files and its alerts,
/// each in the order the description gives them.
struct ReleaseDescription {
    std::filesystem::path path;
    std::int32_t databaseLevel = 0;
    std::int32_t updateLevel = 0;
    std::vector<ReleaseEntry> entries;
    std::vector<ReleaseAlert> alerts;
};

/// Reads and checks a release description (the format is described in tools/README.md). Every
/// fault is appended to errors as "<file>(<line>): <what is wrong>"; the result is usable only
/// when no error was added.
ReleaseDescription ReadReleaseDescription(const std::filesystem::path& path,
                                          std::vector<std::string>& errors);

/// "<description file>(<line>): <message>", the form of every error about a description.
std::string DescriptionError(const std::filesystem::path& path, std::size_t line, const std::string& message);
