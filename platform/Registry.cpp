#include "platform/Registry.h"

#include "platform/HostFile.h"
#include "platform/LastError.h"
#include "platform/Machine.h"
#include "platform/RegistryHive.h"
#include "platform/TextUtil.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace win {

namespace fs = std::filesystem;
using tl::RegistryHive;

namespace {

const char* RootName(HKEY_ROOT root) {
    return root == HKEY_ROOT::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string SafeFileName(const std::string& name) {
    std::string out;
    for (const char c : name)
        out += (c == '/' || c == '\0') ? '_' : c;
    return out.empty() || out == "." || out == ".." ? std::string("_") : out;
}

bool HasOwnerWrite(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) != 0 || (info.st_mode & S_IWUSR) != 0;
}

// A hive whose file or folder carries no write permission is one the user may not change. The
// mode bits decide, not access(2): a privileged process would otherwise write anyway.
bool HiveWritable(const fs::path& file) {
    return HasOwnerWrite(file) && HasOwnerWrite(file.parent_path());
}

/// Holds the hive's lock file: shared while reading, exclusive while changing.
class HiveLock {
public:
    HiveLock(const fs::path& file, bool exclusive) {
        std::error_code ignored;
        fs::create_directories(file.parent_path(), ignored);
        const fs::path lockFile = file.parent_path() / ("." + file.filename().string() + ".lock");
        fd_.reset(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
        if (fd_)
            while (::flock(fd_.get(), exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
            }
    }

private:
    tl::UniqueFd fd_;
};

// Loads the hive; an absent file is an empty hive.
DWORD Load(HKEY_ROOT root, RegistryHive& hive) {
    const fs::path file = HiveFile(root);
    std::error_code ec;
    if (!fs::exists(file, ec))
        return ERROR_SUCCESS;
    DWORD error = ERROR_SUCCESS;
    const auto text = tl::ReadHostFile(file, &error);
    if (!text)
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : ERROR_CANTREAD;
    return hive.Parse(*text, nullptr) ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
}

DWORD Save(HKEY_ROOT root, const RegistryHive& hive) {
    const fs::path file = HiveFile(root);
    if (!HiveWritable(file))
        return ERROR_ACCESS_DENIED;
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    return tl::WriteHostFileAtomically(file, hive.Serialize());
}

// Loads, lets change() edit the hive, and saves when it reports a change. change returns an
// error code, or ERROR_SUCCESS with *changed telling whether to save.
template <typename Change>
LONG Mutate(HKEY_ROOT root, Change change) {
    const HiveLock lock(HiveFile(root), true);
    RegistryHive hive(RootName(root));
    if (const DWORD error = Load(root, hive); error != ERROR_SUCCESS)
        return static_cast<LONG>(error);
    bool changed = false;
    if (const DWORD error = change(hive, changed); error != ERROR_SUCCESS)
        return static_cast<LONG>(error);
    return changed ? static_cast<LONG>(Save(root, hive)) : static_cast<LONG>(ERROR_SUCCESS);
}

} // namespace

fs::path HiveFile(HKEY_ROOT root) {
    const tl::Machine& machine = tl::Machine::Current();
    if (root == HKEY_ROOT::LocalMachine)
        return machine.RegistryFolder() / "HKEY_LOCAL_MACHINE.reg";
    return machine.RegistryFolder() / "users" / (SafeFileName(machine.UserName()) + ".reg");
}

LONG RegCreateKeyEx(HKEY_ROOT root, std::string_view subKey, RegKey& result, DWORD* disposition) {
    result = RegKey();
    if (!HiveWritable(HiveFile(root)))
        return static_cast<LONG>(ERROR_ACCESS_DENIED);
    const std::string path = RegistryHive::NormalizePath(subKey);
    bool created = false;
    const LONG status = Mutate(root, [&](RegistryHive& hive, bool& changed) {
        hive.CreateKey(path, &created);
        changed = created;
        return ERROR_SUCCESS;
    });
    if (status != static_cast<LONG>(ERROR_SUCCESS))
        return status;
    if (disposition != nullptr)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    result.open_ = true;
    result.writable_ = true;
    result.root_ = root;
    result.path_ = path;
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegOpenKeyEx(HKEY_ROOT root, std::string_view subKey, bool writeAccess, RegKey& result) {
    result = RegKey();
    if (writeAccess && !HiveWritable(HiveFile(root)))
        return static_cast<LONG>(ERROR_ACCESS_DENIED);
    const std::string path = RegistryHive::NormalizePath(subKey);
    const HiveLock lock(HiveFile(root), false);
    RegistryHive hive(RootName(root));
    if (const DWORD error = Load(root, hive); error != ERROR_SUCCESS)
        return static_cast<LONG>(error);
    if (!path.empty() && hive.FindKey(path) == nullptr)
        return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    result.open_ = true;
    result.writable_ = writeAccess;
    result.root_ = root;
    result.path_ = path;
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegSetValueEx(const RegKey& key, std::string_view name, DWORD type, const void* data, DWORD size) {
    if (!key.IsOpen())
        return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if (!key.Writable())
        return static_cast<LONG>(ERROR_ACCESS_DENIED);
    if (data == nullptr && size != 0)
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    const std::string bytes(static_cast<const char*>(data), size);
    return Mutate(key.Root(), [&](RegistryHive& hive, bool& changed) {
        tl::RegistryKey* target = key.Path().empty() ? &hive.CreateKey("") : hive.FindKey(key.Path());
        if (target == nullptr)
            return ERROR_KEY_DELETED;
        if (tl::RegistryValue* existing = target->FindValue(name)) {
            existing->type = type;
            existing->data = bytes;
        } else {
            target->values.push_back(tl::RegistryValue{std::string(name), type, bytes});
        }
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueEx(const RegKey& key, std::string_view name, DWORD* type, std::string* data) {
    if (!key.IsOpen())
        return static_cast<LONG>(ERROR_INVALID_HANDLE);
    const HiveLock lock(HiveFile(key.Root()), false);
    RegistryHive hive(RootName(key.Root()));
    if (const DWORD error = Load(key.Root(), hive); error != ERROR_SUCCESS)
        return static_cast<LONG>(error);
    const tl::RegistryKey* target = hive.FindKey(key.Path());
    if (target == nullptr)
        return static_cast<LONG>(key.Path().empty() ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED);
    const tl::RegistryValue* value = target->FindValue(name);
    if (value == nullptr)
        return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    if (type != nullptr)
        *type = value->type;
    if (data != nullptr)
        *data = value->data;
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegDeleteValue(const RegKey& key, std::string_view name) {
    if (!key.IsOpen())
        return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if (!key.Writable())
        return static_cast<LONG>(ERROR_ACCESS_DENIED);
    return Mutate(key.Root(), [&](RegistryHive& hive, bool& changed) {
        tl::RegistryKey* target = hive.FindKey(key.Path());
        if (target == nullptr)
            return ERROR_KEY_DELETED;
        for (auto it = target->values.begin(); it != target->values.end(); ++it) {
            if (tl::EqualsNoCase(it->name, name)) {
                target->values.erase(it);
                changed = true;
                return ERROR_SUCCESS;
            }
        }
        return ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteTree(HKEY_ROOT root, std::string_view subKey) {
    const std::string path = RegistryHive::NormalizePath(subKey);
    if (path.empty())
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    if (!HiveWritable(HiveFile(root)))
        return static_cast<LONG>(ERROR_ACCESS_DENIED);
    return Mutate(root, [&](RegistryHive& hive, bool& changed) {
        changed = hive.DeleteTree(path);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

std::vector<std::string> RegEnumKeys(HKEY_ROOT root, std::string_view subKey) {
    const std::string path = RegistryHive::NormalizePath(subKey);
    const HiveLock lock(HiveFile(root), false);
    RegistryHive hive(RootName(root));
    std::vector<std::string> names;
    if (Load(root, hive) != ERROR_SUCCESS)
        return names;
    hive.ForEachChild(path, [&](const tl::RegistryKey& child) {
        names.push_back(child.path.substr(path.empty() ? 0 : path.size() + 1));
    });
    return names;
}

std::vector<std::string> RegEnumValueNames(const RegKey& key) {
    std::vector<std::string> names;
    if (!key.IsOpen())
        return names;
    const HiveLock lock(HiveFile(key.Root()), false);
    RegistryHive hive(RootName(key.Root()));
    if (Load(key.Root(), hive) != ERROR_SUCCESS)
        return names;
    if (const tl::RegistryKey* target = hive.FindKey(key.Path())) {
        for (const tl::RegistryValue& value : target->values)
            names.push_back(value.name);
    }
    return names;
}

LONG RegCloseKey(RegKey& key) {
    key.Close();
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegSetString(const RegKey& key, std::string_view name, std::string_view value) {
    std::string data(value);
    data += '\0';
    return RegSetValueEx(key, name, REG_SZ, data.data(), static_cast<DWORD>(data.size()));
}

LONG RegSetDword(const RegKey& key, std::string_view name, DWORD value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value & 0xFF), static_cast<unsigned char>((value >> 8) & 0xFF),
        static_cast<unsigned char>((value >> 16) & 0xFF), static_cast<unsigned char>((value >> 24) & 0xFF)};
    return RegSetValueEx(key, name, REG_DWORD, bytes, 4);
}

std::string EncodeMultiString(const std::vector<std::string>& values) {
    std::string data;
    for (const std::string& value : values) {
        data += value;
        data += '\0';
    }
    data += '\0';
    // An empty list is the single terminating zero byte.
    return data;
}

std::vector<std::string> DecodeMultiString(std::string_view data) {
    std::vector<std::string> values;
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::size_t end = std::min(data.find('\0', pos), data.size());
        if (end == pos)
            break; // the closing empty string
        values.emplace_back(data.substr(pos, end - pos));
        pos = end + 1;
    }
    return values;
}

LONG RegSetMultiString(const RegKey& key, std::string_view name, const std::vector<std::string>& values) {
    const std::string data = EncodeMultiString(values);
    return RegSetValueEx(key, name, REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size()));
}

} // namespace win
