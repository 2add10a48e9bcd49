#pragma once

#include "platform/WinTypes.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace win {

/// The predefined root keys this program uses.
enum class HKEY_ROOT { LocalMachine, CurrentUser };
inline constexpr HKEY_ROOT HKEY_LOCAL_MACHINE = HKEY_ROOT::LocalMachine;
inline constexpr HKEY_ROOT HKEY_CURRENT_USER = HKEY_ROOT::CurrentUser;

/// An open registry key. The hive is re-read on every call, so several handles and several
/// processes see each other's changes; every change is saved at once (whole hive, atomically).
/// Closing is automatic when the handle is destroyed.
class RegKey {
public:
    RegKey() = default;
    bool IsOpen() const { return open_; }
    HKEY_ROOT Root() const { return root_; }
    const std::string& Path() const { return path_; }
    bool Writable() const { return writable_; }
    void Close() { open_ = false; }

private:
    friend LONG RegCreateKeyEx(HKEY_ROOT, std::string_view, RegKey&, DWORD*);
    friend LONG RegOpenKeyEx(HKEY_ROOT, std::string_view, bool, RegKey&);
    bool open_ = false;
    bool writable_ = false;
    HKEY_ROOT root_ = HKEY_ROOT::LocalMachine;
    std::string path_;
};

/// Creates a key (and every missing key above it) or opens it, for reading and writing.
/// *disposition receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. Fails with
/// ERROR_ACCESS_DENIED when the hive cannot be written (its file or folder is read-only), as a
/// user without administrative rights sees HKEY_LOCAL_MACHINE, and with ERROR_REGISTRY_CORRUPT
/// when the hive file is not a registry export (it is then left untouched).
LONG RegCreateKeyEx(HKEY_ROOT root, std::string_view subKey, RegKey& result, DWORD* disposition = nullptr);

/// Opens an existing key. ERROR_FILE_NOT_FOUND when it does not exist; with writeAccess,
/// ERROR_ACCESS_DENIED when the hive cannot be written.
LONG RegOpenKeyEx(HKEY_ROOT root, std::string_view subKey, bool writeAccess, RegKey& result);

/// Sets a value's type and bytes exactly as given ("" names the default value). A REG_SZ or
/// REG_MULTI_SZ keeps whatever zero bytes the caller includes. ERROR_ACCESS_DENIED for a key
/// opened read-only; ERROR_KEY_DELETED when the key was deleted meanwhile; the write's own error
/// when the hive cannot be saved (nothing is then changed).
LONG RegSetValueEx(const RegKey& key, std::string_view name, DWORD type, const void* data, DWORD size);

/// Reads a value's type and bytes. ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegQueryValueEx(const RegKey& key, std::string_view name, DWORD* type, std::string* data);

/// Removes one value. ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegDeleteValue(const RegKey& key, std::string_view name);

/// Removes a key and everything below it. ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegDeleteTree(HKEY_ROOT root, std::string_view subKey);

/// Names of a key's direct subkeys, in the hive's order. Empty when the key does not exist.
std::vector<std::string> RegEnumKeys(HKEY_ROOT root, std::string_view subKey);

/// Names of a key's values, in the order they were first set. Empty when the key is gone.
std::vector<std::string> RegEnumValueNames(const RegKey& key);

/// Closes the handle; always ERROR_SUCCESS.
LONG RegCloseKey(RegKey& key);

/// The host file of a root's hive on the current machine: registry/HKEY_LOCAL_MACHINE.reg and
/// registry/users/<user name>.reg.
std::filesystem::path HiveFile(HKEY_ROOT root);

// Conveniences over the calls above.
LONG RegSetString(const RegKey& key, std::string_view name, std::string_view value);
LONG RegSetDword(const RegKey& key, std::string_view name, DWORD value);
/// REG_MULTI_SZ: each string and one zero byte, one more zero byte at the end; an empty list is a
/// single zero byte.
LONG RegSetMultiString(const RegKey& key, std::string_view name, const std::vector<std::string>& values);
std::string EncodeMultiString(const std::vector<std::string>& values);
std::vector<std::string> DecodeMultiString(std::string_view data);

} // namespace win
