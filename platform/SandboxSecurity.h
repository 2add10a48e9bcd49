#pragma once

#include "platform/SecurityBackend.h"

#include <mutex>

namespace tl {

/// The security backend of the machine prefix: it records, in <prefix>/security/, what Windows
/// keeps in its account database and in its file systems' security descriptors.
///
/// - accounts.txt: the machine's SID (made once, from the system's random source), the local
///   users (relative id from 1000 up, privilege, flags, comment, the password's yescrypt hash)
///   and the members added to local groups, one tab-separated line each;
/// - dacls.txt: one line per file or folder whose DACL was set: its host path below the prefix
///   and its DACL as SDDL text.
///
/// The built-in accounts (Administrator 500, Guest 501), the built-in groups (Administrators,
/// Users, Guests) and the well-known principals (Everyone, SYSTEM, Authenticated Users, CREATOR
/// OWNER) exist without being recorded. A file or folder whose DACL was never set inherits the
/// inheritable entries of the folder above it, up to the drive's root, which has the access list
/// a Windows system drive has. Both files are rewritten whole and atomically on every change; a
/// security folder that cannot be written refuses changes with ERROR_ACCESS_DENIED, as Windows
/// refuses a user who is not an administrator.
class SandboxSecurity : public SecurityBackend {
public:
    std::string MachineSid() override;
    DWORD AddUser(const NewUser& user) override;
    std::vector<UserAccount> ListUsers() override;
    DWORD DeleteUser(std::string_view name) override;
    DWORD AddGroupMember(std::string_view group, std::string_view member) override;
    std::optional<AccountEntry> FindAccount(std::string_view name) override;
    DWORD ReadDacl(const std::filesystem::path& hostPath, std::string& sddl) override;
    DWORD WriteDacl(const std::filesystem::path& hostPath, const std::string& sddl) override;
    DWORD AddShare(const ShareInfo& share, const std::string& password) override;

    /// The access list of a drive's root folder.
    static constexpr char kRootDacl[] =
        "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;BU)";

private:
    std::mutex mutex_;
};

} // namespace tl
