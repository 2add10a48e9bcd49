#pragma once

#include "platform/LocalShares.h"
#include "platform/WinTypes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tl {

/// How an account name resolves (SID_NAME_USE).
enum class AccountKind : int { User = 1, Group = 2, Domain = 3, Alias = 4, WellKnownGroup = 5 };

/// An account, group or well-known principal as a lookup finds it.
struct AccountEntry {
    std::string name;   ///< as the machine spells it
    std::string domain; ///< this computer, "BUILTIN", "NT AUTHORITY" or ""
    std::string sid;    ///< text form
    AccountKind kind = AccountKind::User;
};

/// A local user account to be created.
struct NewUser {
    std::string name;
    std::string password; ///< in clear; the backend keeps only what cannot give it back
    DWORD privilege = 1;
    DWORD flags = 0;
    std::string comment;
};

/// A local user account as the account database lists it (its password is never given back).
struct UserAccount {
    std::string name;
    DWORD privilege = 1;
    DWORD flags = 0;
    std::string comment;
};

/// Where this computer's accounts, group memberships, folder access lists and shares live. The
/// network and security calls of this layer (NetUserAdd, LookupAccountNameA, Get/SetNamedSecurityInfoA,
/// NetShareAdd, ...) keep Windows' protocols and status codes and leave the storing to a backend:
/// the sandbox of the machine prefix by default; one acting on the real system (Linux accounts,
/// POSIX ACLs, Samba shares) can take its place.
class SecurityBackend {
public:
    virtual ~SecurityBackend() = default;

    /// The machine's SID "S-1-5-21-a-b-c", the same for every call on one machine. "" when it
    /// cannot be had.
    virtual std::string MachineSid() = 0;

    /// Creates a local user. NERR_Success; NERR_UserExists when an account of that name exists
    /// (without regard to case); NERR_BadUsername for a name Windows refuses; otherwise the error
    /// that kept it from being stored (ERROR_ACCESS_DENIED for a user who may not change accounts).
    virtual DWORD AddUser(const NewUser& user) = 0;

    /// The local users that were added (not the built-in accounts), in the order they were made.
    virtual std::vector<UserAccount> ListUsers() = 0;

    /// Deletes a local user and its group memberships. NERR_Success; NERR_UserNotFound when no user
    /// has that name (without regard to case); otherwise the error that kept it from being stored.
    virtual DWORD DeleteUser(std::string_view name) = 0;

    /// Makes an account a member of a local group. NERR_Success; NERR_GroupNotFound;
    /// ERROR_NO_SUCH_MEMBER for an unknown account; ERROR_MEMBER_IN_ALIAS when it is one already.
    virtual DWORD AddGroupMember(std::string_view group, std::string_view member) = 0;

    /// The account, group or well-known principal of that name ("name" or "DOMAIN\name", without
    /// regard to case); nullopt when there is none.
    virtual std::optional<AccountEntry> FindAccount(std::string_view name) = 0;

    /// The DACL of an existing host file or folder, as SDDL text "D:...": the one set last, or
    /// what it inherits from the folders above it. ERROR_SUCCESS or the error of the failure.
    virtual DWORD ReadDacl(const std::filesystem::path& hostPath, std::string& sddl) = 0;

    /// Replaces the DACL of an existing host file or folder by SDDL text "D:...".
    virtual DWORD WriteDacl(const std::filesystem::path& hostPath, const std::string& sddl) = 0;

    /// Shares a folder of this computer. NERR_Success; NERR_DuplicateShare when the name is taken
    /// (without regard to case); otherwise the error that kept it from being stored. The password
    /// is kept only as a salted hash.
    virtual DWORD AddShare(const ShareInfo& share, const std::string& password) = 0;
};

/// The backend of this process: the installed one, or the sandbox of the current machine.
SecurityBackend& TheSecurityBackend();

/// Installs a backend (nullptr returns to the sandbox); returns the previous one. The caller keeps
/// ownership.
SecurityBackend* SetSecurityBackend(SecurityBackend* backend);

} // namespace tl
