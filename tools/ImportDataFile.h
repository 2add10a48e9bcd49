#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// One record of a reference-data file: its values by key, in the order they were written.
class ImportDataRecord {
public:
    /// The value of a key, matched without regard to case; nullptr when the record has none.
    const std::string* Find(std::string_view key) const;
    bool Empty() const { return values_.empty(); }
    void Clear() { values_.clear(); }
    /// False when the record already has the key.
    bool Add(std::string key, std::string value);

private:
    std::vector<std::pair<std::string, std::string>> values_;
};

/// Reads a reference-data file record by record (the format is described in tools/README.md):
/// sections in square brackets, one per record, holding "Key=Value" lines whose values may carry
/// the escapes \n \r \t \s \\. Memory follows one record, not the file.
class ImportDataFile {
public:
    /// False when the file cannot be opened; Error() says why.
    bool Open(const std::filesystem::path& path);

    /// The next record, or false at the end of the file or at an error (then Error() is not empty
    /// and names the line).
    bool Next(ImportDataRecord& record);

    const std::string& Error() const { return error_; }

    /// Decodes the escapes of a value; nullopt for an unknown escape or a backslash at the end.
    static std::optional<std::string> Unescape(std::string_view value);

private:
    bool Fail(const std::string& message);

    std::ifstream in_;
    std::vector<char> buffer_;
    std::filesystem::path path_;
    std::size_t lineNumber_ = 0;
    bool inRecord_ = false;
    std::string error_;
};
