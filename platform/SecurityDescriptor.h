#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Security descriptors as the program handles them: discretionary access control lists, read from
// and written as security descriptor definition language (SDDL) text. SIDs inside are kept in
// their text form.
namespace win {

using WORD = std::uint16_t;
using BYTE = std::uint8_t;

inline constexpr DWORD SDDL_REVISION_1 = 1;

// What a security call reads or writes.
inline constexpr DWORD OWNER_SECURITY_INFORMATION = 0x00000001;
inline constexpr DWORD GROUP_SECURITY_INFORMATION = 0x00000002;
inline constexpr DWORD DACL_SECURITY_INFORMATION = 0x00000004;
inline constexpr DWORD SACL_SECURITY_INFORMATION = 0x00000008;
inline constexpr DWORD UNPROTECTED_DACL_SECURITY_INFORMATION = 0x20000000;
inline constexpr DWORD PROTECTED_DACL_SECURITY_INFORMATION = 0x80000000;

// Security descriptor control bits.
inline constexpr WORD SE_DACL_PRESENT = 0x0004;
inline constexpr WORD SE_DACL_AUTO_INHERIT_REQ = 0x0100;
inline constexpr WORD SE_DACL_AUTO_INHERITED = 0x0400;
inline constexpr WORD SE_DACL_PROTECTED = 0x1000;

// Access entry types and flags.
inline constexpr BYTE ACCESS_ALLOWED_ACE_TYPE = 0;
inline constexpr BYTE ACCESS_DENIED_ACE_TYPE = 1;
inline constexpr BYTE ACCESS_ALLOWED_OBJECT_ACE_TYPE = 5;
inline constexpr BYTE ACCESS_DENIED_OBJECT_ACE_TYPE = 6;
inline constexpr BYTE OBJECT_INHERIT_ACE = 0x01;
inline constexpr BYTE CONTAINER_INHERIT_ACE = 0x02;
inline constexpr BYTE NO_PROPAGATE_INHERIT_ACE = 0x04;
inline constexpr BYTE INHERIT_ONLY_ACE = 0x08;
inline constexpr BYTE INHERITED_ACE = 0x10;
inline constexpr BYTE SUCCESSFUL_ACCESS_ACE_FLAG = 0x40;
inline constexpr BYTE FAILED_ACCESS_ACE_FLAG = 0x80;

// Access rights.
inline constexpr DWORD STANDARD_RIGHTS_DELETE = 0x00010000; ///< DELETE in winnt.h, a macro name elsewhere
inline constexpr DWORD GENERIC_ALL = 0x10000000;
inline constexpr DWORD FILE_ALL_ACCESS = 0x001F01FF;

/// One access entry.
struct ACE {
    BYTE type = ACCESS_ALLOWED_ACE_TYPE;
    BYTE flags = 0;
    DWORD mask = 0;
    std::string objectGuid;          ///< object entries only; may be empty
    std::string inheritedObjectGuid; ///< object entries only; may be empty
    std::string sid;                 ///< text form
    friend bool operator==(const ACE&, const ACE&) = default;
};

/// An access control list: its entries in order.
struct ACL {
    std::vector<ACE> entries;
    friend bool operator==(const ACL&, const ACL&) = default;
};

/// A security descriptor in absolute form. Without SE_DACL_PRESENT there is no DACL; with it and
/// no dacl it is a null DACL, which grants everyone everything ("NO_ACCESS_CONTROL").
struct SECURITY_DESCRIPTOR {
    WORD control = 0;
    std::optional<std::string> owner;
    std::optional<std::string> group;
    std::optional<ACL> dacl;
};

/// Parses SDDL text of revision 1 ("O:", "G:", "D:" and "S:" parts; only the DACL is kept, the
/// others are checked and dropped). False with ERROR_INVALID_PARAMETER for text that is not valid
/// SDDL, ERROR_UNKNOWN_REVISION for another revision.
bool ConvertStringSecurityDescriptorToSecurityDescriptorA(std::string_view text, DWORD revision,
                                                          SECURITY_DESCRIPTOR& descriptor);

/// The SDDL text of the parts that information names (only DACL_SECURITY_INFORMATION is written
/// here). Rights are written as their two-letter codes where the mask is made of them alone and
/// in hexadecimal otherwise; well-known SIDs by their aliases. False with ERROR_UNKNOWN_REVISION
/// for another revision.
bool ConvertSecurityDescriptorToStringSecurityDescriptorA(const SECURITY_DESCRIPTOR& descriptor,
                                                          DWORD revision, DWORD information,
                                                          std::string& text);

/// Whether the descriptor has a DACL and where it is (nullptr for a null DACL). defaulted is
/// always false here.
bool GetSecurityDescriptorDacl(const SECURITY_DESCRIPTOR& descriptor, bool& present, const ACL*& dacl,
                               bool& defaulted);

inline constexpr DWORD ERROR_UNKNOWN_REVISION = 1305;

} // namespace win
