#pragma once

#include "platform/WinTypes.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tl {

/// One registry value: its name ("" for the default value), type and bytes exactly as written.
struct RegistryValue {
    std::string name;
    DWORD type = win::REG_NONE;
    std::string data;
};

/// One registry key of a hive with its values in the order they were first set.
struct RegistryKey {
    std::string path; ///< below the root, as first created ("" is the root key)
    std::vector<RegistryValue> values;

    RegistryValue* FindValue(std::string_view name);
    const RegistryValue* FindValue(std::string_view name) const;
};

/// A registry hive in memory and its text form, the Windows registry export format ("REGEDIT4":
/// single-byte text, CR LF line ends, one [ROOT\path] block per key). Key and value names are
/// matched without regard to case and keep the spelling of their creation.
class RegistryHive {
public:
    /// rootName is the name written before every key path, e.g. "HKEY_LOCAL_MACHINE".
    explicit RegistryHive(std::string rootName);

    /// Reads an export. Returns false with a description in *error when the text is not one
    /// (a wrong header, a line that is neither a key, a value nor blank, a key of another root,
    /// bad hexadecimal); the hive is then left empty.
    bool Parse(std::string_view text, std::string* error);

    /// The export text: header, a blank line, then every key (parents before children) with its
    /// values and a blank line after each.
    std::string Serialize() const;

    RegistryKey* FindKey(std::string_view path);
    const RegistryKey* FindKey(std::string_view path) const;

    /// Finds or creates a key and every missing key above it. *created tells which happened.
    RegistryKey& CreateKey(std::string_view path, bool* created = nullptr);

    /// Removes a key with everything below it. False when the key does not exist.
    bool DeleteTree(std::string_view path);

    /// Calls visit for each direct subkey of path, in the hive's order.
    template <typename Visit>
    void ForEachChild(std::string_view path, Visit visit) const {
        const std::string key = SortKey(path);
        const std::string prefix = key.empty() ? std::string() : key + '\x01';
        for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.starts_with(prefix); ++it) {
            if (!it->first.empty() && it->first.find('\x01', prefix.size()) == std::string::npos)
                visit(it->second);
        }
    }

    const std::string& RootName() const { return rootName_; }

    /// Canonical form of a key path: separators collapsed, no leading or trailing backslash.
    static std::string NormalizePath(std::string_view path);

private:
    static std::string SortKey(std::string_view path);

    std::string rootName_;
    std::map<std::string, RegistryKey> keys_; ///< by SortKey, so parents precede children
};

} // namespace tl
