#include "platform/SandboxSecurity.h"

#include "platform/HostFile.h"
#include "platform/LastError.h"
#include "platform/Machine.h"
#include "platform/NetApi.h"
#include "platform/PasswordHash.h"
#include "platform/Sid.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <atomic>
#include <random>
#include <sstream>
#include <sys/stat.h>

namespace tl {

namespace fs = std::filesystem;

namespace {

constexpr DWORD kFirstLocalRid = 1000;

struct StoredUser {
    DWORD rid = 0;
    std::string name;
    DWORD privilege = 0;
    DWORD flags = 0;
    std::string comment;
    std::string passwordHash;
};

struct Membership {
    std::string group;
    std::string memberSid;
};

struct AccountStore {
    std::string machineSid;
    std::vector<StoredUser> users;
    std::vector<Membership> members;
};

struct BuiltIn {
    const char* name;
    const char* domain; ///< nullptr: this computer
    const char* sid;    ///< a relative id after "-" when it starts with "-"
    AccountKind kind;
};

constexpr BuiltIn kBuiltIns[] = {
    {"Administrator", nullptr, "-500", AccountKind::User},
    {"Guest", nullptr, "-501", AccountKind::User},
    {"Administrators", "BUILTIN", kSidAdministrators, AccountKind::Alias},
    {"Users", "BUILTIN", kSidUsers, AccountKind::Alias},
    {"Guests", "BUILTIN", kSidGuests, AccountKind::Alias},
    {"Everyone", "", kSidEveryone, AccountKind::WellKnownGroup},
    {"CREATOR OWNER", "", kSidCreatorOwner, AccountKind::WellKnownGroup},
    {"SYSTEM", "NT AUTHORITY", kSidLocalSystem, AccountKind::WellKnownGroup},
    {"Authenticated Users", "NT AUTHORITY", kSidAuthenticatedUsers, AccountKind::WellKnownGroup},
};

fs::path SecurityFolder() {
    return Machine::Current().Prefix() / "security";
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::vector<std::vector<std::string>> ReadRecords(const fs::path& file) {
    std::vector<std::vector<std::string>> records;
    const auto text = ReadHostFile(file);
    if (!text)
        return records;
    std::istringstream lines(*text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty())
            records.push_back(SplitTabs(line));
    }
    return records;
}

DWORD WriteRecords(const fs::path& file, const std::string& text) {
    // The folder's permission decides, for an administrator too, as the registry's hives do.
    struct stat folder {};
    if (::stat(file.parent_path().c_str(), &folder) == 0 && (folder.st_mode & S_IWUSR) == 0)
        return win::ERROR_ACCESS_DENIED;
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error)
        return win::ErrorFromErrno(error.value());
    return WriteHostFileAtomically(file, text);
}

DWORD ToDword(const std::string& text) {
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 0));
}

AccountStore LoadAccounts() {
    AccountStore store;
    for (const auto& fields : ReadRecords(SecurityFolder() / "accounts.txt")) {
        if (fields[0] == "MachineSid" && fields.size() == 2)
            store.machineSid = fields[1];
        else if (fields[0] == "User" && fields.size() == 7)
            store.users.push_back(StoredUser{ToDword(fields[1]), fields[2], ToDword(fields[3]),
                                             ToDword(fields[4]), fields[5], fields[6]});
        else if (fields[0] == "Member" && fields.size() == 3)
            store.members.push_back(Membership{fields[1], fields[2]});
    }
    return store;
}

// Tabs and line ends would break the record; Windows keeps a comment on one line anyway.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

DWORD SaveAccounts(const AccountStore& store) {
    std::string text = "MachineSid\t" + store.machineSid + "\n";
    for (const StoredUser& user : store.users) {
        text += "User\t" + std::to_string(user.rid) + "\t" + user.name + "\t" +
                std::to_string(user.privilege) + "\t" + std::to_string(user.flags) + "\t" +
                OneLine(user.comment) + "\t" + user.passwordHash + "\n";
    }
    for (const Membership& member : store.members)
        text += "Member\t" + member.group + "\t" + member.memberSid + "\n";
    return WriteRecords(SecurityFolder() / "accounts.txt", text);
}

// Three random sub-authorities, as Windows gives each installation.
std::string NewMachineSid() {
    std::random_device random;
    std::uniform_int_distribution<std::uint32_t> part(1, 0xFFFFFFFFu);
    return "S-1-5-21-" + std::to_string(part(random)) + "-" + std::to_string(part(random)) + "-" +
           std::to_string(part(random));
}

// Makes and records the machine's SID the first time it is needed.
DWORD EnsureMachineSid(AccountStore& store) {
    if (!store.machineSid.empty())
        return win::ERROR_SUCCESS;
    store.machineSid = NewMachineSid();
    const DWORD error = SaveAccounts(store);
    if (error != win::ERROR_SUCCESS)
        store.machineSid.clear();
    return error;
}

bool IsValidUserName(std::string_view name) {
    if (name.empty() || name.size() > 20 || name.find_first_not_of(". ") == std::string_view::npos)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("\"/\\[]:|<>+=;,?*@").find(c) != std::string_view::npos;
    });
}

std::optional<AccountEntry> FindIn(const AccountStore& store, std::string_view domain,
                                   std::string_view name) {
    const std::string computer = Machine::Current().ComputerName();
    auto domainMatches = [&](std::string_view entryDomain) {
        return domain.empty() || EqualsNoCase(domain, entryDomain);
    };
    for (const StoredUser& user : store.users) {
        if (EqualsNoCase(user.name, name) && domainMatches(computer))
            return AccountEntry{user.name, computer, store.machineSid + "-" + std::to_string(user.rid),
                                AccountKind::User};
    }
    for (const BuiltIn& builtIn : kBuiltIns) {
        const std::string entryDomain = builtIn.domain != nullptr ? builtIn.domain : computer;
        if (!EqualsNoCase(builtIn.name, name) || !domainMatches(entryDomain))
            continue;
        const bool relative = builtIn.sid[0] == '-';
        return AccountEntry{builtIn.name, entryDomain,
                            relative ? store.machineSid + builtIn.sid : builtIn.sid, builtIn.kind};
    }
    if (domain.empty() && EqualsNoCase(name, computer))
        return AccountEntry{computer, computer, store.machineSid, AccountKind::Domain};
    return std::nullopt;
}

std::string RelativeKey(const fs::path& hostPath) {
    return hostPath.lexically_normal().lexically_relative(Machine::Current().Prefix()).generic_string();
}

std::vector<std::pair<std::string, std::string>> LoadDacls() {
    std::vector<std::pair<std::string, std::string>> dacls;
    for (const auto& fields : ReadRecords(SecurityFolder() / "dacls.txt")) {
        if (fields.size() == 2)
            dacls.emplace_back(fields[0], fields[1]);
    }
    return dacls;
}

// What a child of a folder with that DACL inherits: the entries meant for it, marked inherited.
std::string InheritedDacl(const std::string& parentSddl, bool folder) {
    win::SECURITY_DESCRIPTOR parent;
    if (!win::ConvertStringSecurityDescriptorToSecurityDescriptorA(parentSddl, win::SDDL_REVISION_1, parent))
        return SandboxSecurity::kRootDacl;
    win::SECURITY_DESCRIPTOR child;
    child.control = win::SE_DACL_PRESENT | win::SE_DACL_AUTO_INHERITED;
    if (!parent.dacl)
        return "D:AINO_ACCESS_CONTROL"; // nothing to inherit from a list that grants everything
    child.dacl.emplace();
    constexpr win::BYTE kInheritance = win::OBJECT_INHERIT_ACE | win::CONTAINER_INHERIT_ACE |
                                       win::NO_PROPAGATE_INHERIT_ACE | win::INHERIT_ONLY_ACE;
    for (win::ACE ace : parent.dacl->entries) {
        const bool noPropagate = (ace.flags & win::NO_PROPAGATE_INHERIT_ACE) != 0;
        // CREATOR OWNER and CREATOR GROUP stand for whoever creates something below: they stay
        // inherit-only (Windows would add the creator's own entry beside them).
        const bool creator = ace.sid == kSidCreatorOwner || ace.sid == "S-1-3-1";
        if (folder && (ace.flags & win::CONTAINER_INHERIT_ACE) != 0) {
            if (noPropagate)
                ace.flags &= ~kInheritance;
            else if (!creator)
                ace.flags &= ~win::INHERIT_ONLY_ACE;
        } else if ((ace.flags & win::OBJECT_INHERIT_ACE) != 0 && !(folder && noPropagate)) {
            // Meant for files: a folder passes it on to them without using it itself.
            ace.flags = folder ? (ace.flags | win::INHERIT_ONLY_ACE) : (ace.flags & ~kInheritance);
        } else {
            continue;
        }
        ace.flags |= win::INHERITED_ACE;
        child.dacl->entries.push_back(std::move(ace));
    }
    std::string text;
    win::ConvertSecurityDescriptorToStringSecurityDescriptorA(child, win::SDDL_REVISION_1,
                                                              win::DACL_SECURITY_INFORMATION, text);
    return text;
}

std::string EffectiveDacl(const std::vector<std::pair<std::string, std::string>>& dacls,
                          const fs::path& hostPath, bool folder) {
    const std::string key = RelativeKey(hostPath);
    for (const auto& [path, sddl] : dacls) {
        if (path == key)
            return sddl;
    }
    const fs::path parent = hostPath.parent_path();
    const std::string parentKey = RelativeKey(parent);
    // A drive's root (or anything outside the prefix) has the system drive's list.
    if (parent == hostPath || parentKey == "." || parentKey.empty() || parentKey.starts_with(".."))
        return SandboxSecurity::kRootDacl;
    return InheritedDacl(EffectiveDacl(dacls, parent, true), folder);
}

} // namespace

std::string SandboxSecurity::MachineSid() {
    std::lock_guard lock(mutex_);
    AccountStore store = LoadAccounts();
    EnsureMachineSid(store);
    return store.machineSid;
}

DWORD SandboxSecurity::AddUser(const NewUser& user) {
    std::lock_guard lock(mutex_);
    if (!IsValidUserName(user.name))
        return win::NERR_BadUsername;
    AccountStore store = LoadAccounts();
    if (const auto existing = FindIn(store, "", user.name))
        return existing->kind == AccountKind::User ? win::NERR_UserExists : win::NERR_GroupExists;
    if (const DWORD error = EnsureMachineSid(store); error != win::ERROR_SUCCESS)
        return error;
    DWORD rid = kFirstLocalRid;
    for (const StoredUser& stored : store.users)
        rid = std::max(rid, stored.rid + 1);
    const std::string hash = user.password.empty() ? std::string() : HashPassword(user.password);
    if (!user.password.empty() && hash.empty())
        return win::ERROR_GEN_FAILURE;
    store.users.push_back(StoredUser{rid, user.name, user.privilege, user.flags, user.comment, hash});
    return SaveAccounts(store);
}

std::vector<UserAccount> SandboxSecurity::ListUsers() {
    std::lock_guard lock(mutex_);
    std::vector<UserAccount> users;
    for (const StoredUser& user : LoadAccounts().users)
        users.push_back(UserAccount{user.name, user.privilege, user.flags, user.comment});
    return users;
}

DWORD SandboxSecurity::DeleteUser(std::string_view name) {
    std::lock_guard lock(mutex_);
    AccountStore store = LoadAccounts();
    const auto user = std::find_if(store.users.begin(), store.users.end(),
                                   [&](const StoredUser& stored) { return EqualsNoCase(stored.name, name); });
    if (user == store.users.end())
        return win::NERR_UserNotFound;
    const std::string sid = store.machineSid + "-" + std::to_string(user->rid);
    store.users.erase(user);
    std::erase_if(store.members, [&](const Membership& member) { return member.memberSid == sid; });
    return SaveAccounts(store);
}

DWORD SandboxSecurity::AddGroupMember(std::string_view group, std::string_view member) {
    std::lock_guard lock(mutex_);
    AccountStore store = LoadAccounts();
    if (const DWORD error = EnsureMachineSid(store); error != win::ERROR_SUCCESS)
        return error;
    const auto groupEntry = FindIn(store, "", group);
    if (!groupEntry || groupEntry->kind != AccountKind::Alias)
        return win::NERR_GroupNotFound;
    const std::size_t slash = member.find('\\');
    const auto memberEntry = slash == std::string_view::npos
                                 ? FindIn(store, "", member)
                                 : FindIn(store, member.substr(0, slash), member.substr(slash + 1));
    if (!memberEntry)
        return win::ERROR_NO_SUCH_MEMBER;
    for (const Membership& existing : store.members) {
        if (EqualsNoCase(existing.group, groupEntry->name) && existing.memberSid == memberEntry->sid)
            return win::ERROR_MEMBER_IN_ALIAS;
    }
    store.members.push_back(Membership{groupEntry->name, memberEntry->sid});
    return SaveAccounts(store);
}

std::optional<AccountEntry> SandboxSecurity::FindAccount(std::string_view name) {
    std::lock_guard lock(mutex_);
    AccountStore store = LoadAccounts();
    if (EnsureMachineSid(store) != win::ERROR_SUCCESS)
        return std::nullopt;
    const std::size_t slash = name.find('\\');
    if (slash == std::string_view::npos)
        return FindIn(store, "", name);
    return FindIn(store, name.substr(0, slash), name.substr(slash + 1));
}

DWORD SandboxSecurity::ReadDacl(const fs::path& hostPath, std::string& sddl) {
    std::lock_guard lock(mutex_);
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) != 0)
        return win::ErrorFromErrno(errno);
    sddl = EffectiveDacl(LoadDacls(), hostPath, S_ISDIR(info.st_mode));
    return win::ERROR_SUCCESS;
}

DWORD SandboxSecurity::WriteDacl(const fs::path& hostPath, const std::string& sddl) {
    std::lock_guard lock(mutex_);
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) != 0)
        return win::ErrorFromErrno(errno);
    auto dacls = LoadDacls();
    const std::string key = RelativeKey(hostPath);
    std::erase_if(dacls, [&key](const auto& entry) { return entry.first == key; });
    dacls.emplace_back(key, sddl);
    std::string text;
    for (const auto& [path, entry] : dacls)
        text += path + "\t" + entry + "\n";
    return WriteRecords(SecurityFolder() / "dacls.txt", text);
}

DWORD SandboxSecurity::AddShare(const ShareInfo& share, const std::string& password) {
    std::lock_guard lock(mutex_);
    if (FindLocalShare(share.name))
        return win::NERR_DuplicateShare;
    const std::string hash = password.empty() ? std::string() : HashPassword(password);
    if (!password.empty() && hash.empty())
        return win::ERROR_GEN_FAILURE;
    return AddLocalShare(share, hash);
}

namespace {

SandboxSecurity& Sandbox() {
    static SandboxSecurity sandbox;
    return sandbox;
}

std::atomic<SecurityBackend*> installedBackend{nullptr};

} // namespace

SecurityBackend& TheSecurityBackend() {
    SecurityBackend* backend = installedBackend.load();
    return backend != nullptr ? *backend : Sandbox();
}

SecurityBackend* SetSecurityBackend(SecurityBackend* backend) {
    return installedBackend.exchange(backend);
}

} // namespace tl
