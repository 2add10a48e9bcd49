#include "platform/SecurityDescriptor.h"

#include "platform/LastError.h"
#include "platform/SecurityBackend.h"
#include "platform/Sid.h"

#include <charconv>
#include <cstdio>

namespace win {

namespace {

struct Code {
    const char* text;
    DWORD value;
};

// Rights that stand for several bits; written when a mask is exactly one of them.
constexpr Code kCombinedRights[] = {
    {"FA", FILE_ALL_ACCESS}, {"FR", 0x120089}, {"FW", 0x120116}, {"FX", 0x1200A0},
    {"KA", 0xF003F},         {"KR", 0x20019},  {"KW", 0x20006},
};
// Rights of one bit each, in the order SDDL text lists them.
constexpr Code kSingleRights[] = {
    {"GA", GENERIC_ALL}, {"GR", 0x80000000}, {"GW", 0x40000000},
    {"GX", 0x20000000},  {"RC", 0x20000},    {"SD", STANDARD_RIGHTS_DELETE},
    {"WD", 0x40000},     {"WO", 0x80000},    {"RP", 0x10},
    {"WP", 0x20},        {"CC", 0x1},        {"DC", 0x2},
    {"LC", 0x4},         {"SW", 0x8},        {"LO", 0x80},
    {"DT", 0x40},        {"CR", 0x100},
};
constexpr Code kAceFlags[] = {
    {"OI", OBJECT_INHERIT_ACE},     {"CI", CONTAINER_INHERIT_ACE}, {"NP", NO_PROPAGATE_INHERIT_ACE},
    {"IO", INHERIT_ONLY_ACE},       {"ID", INHERITED_ACE},         {"SA", SUCCESSFUL_ACCESS_ACE_FLAG},
    {"FA", FAILED_ACCESS_ACE_FLAG},
};
constexpr Code kDaclTypes[] = {{"A", ACCESS_ALLOWED_ACE_TYPE},
                               {"D", ACCESS_DENIED_ACE_TYPE},
                               {"OA", ACCESS_ALLOWED_OBJECT_ACE_TYPE},
                               {"OD", ACCESS_DENIED_OBJECT_ACE_TYPE}};
constexpr Code kSaclTypes[] = {{"AU", 2}, {"AL", 3}, {"OU", 7}, {"OL", 8}, {"ML", 0x11}};
constexpr char kNullDacl[] = "NO_ACCESS_CONTROL";

std::vector<std::string_view> SplitFields(std::string_view ace) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t semicolon = ace.find(';');
        fields.push_back(ace.substr(0, semicolon));
        if (semicolon == std::string_view::npos)
            return fields;
        ace.remove_prefix(semicolon + 1);
    }
}

template <std::size_t N>
const Code* FindCode(const Code (&codes)[N], std::string_view text) {
    for (const Code& code : codes) {
        if (text == code.text)
            return &code;
    }
    return nullptr;
}

// A field made of two-letter codes, or a number for rights.
template <std::size_t N>
bool ParseCodes(std::string_view text, const Code (&codes)[N], DWORD& value) {
    value = 0;
    for (; !text.empty(); text.remove_prefix(2)) {
        const Code* code = text.size() >= 2 ? FindCode(codes, text.substr(0, 2)) : nullptr;
        if (code == nullptr)
            return false;
        value |= code->value;
    }
    return true;
}

bool ParseRights(std::string_view text, DWORD& mask) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto [end, error] = std::from_chars(text.data() + 2, text.data() + text.size(), mask, 16);
        return error == std::errc() && end == text.data() + text.size();
    }
    if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mask, 10);
        return error == std::errc() && end == text.data() + text.size();
    }
    if (const Code* combined = FindCode(kCombinedRights, text)) {
        mask = combined->value;
        return true;
    }
    // Combined codes may also stand among single ones ("GASDFA").
    mask = 0;
    for (; !text.empty(); text.remove_prefix(2)) {
        if (text.size() < 2)
            return false;
        const std::string_view pair = text.substr(0, 2);
        const Code* code = FindCode(kSingleRights, pair);
        if (code == nullptr)
            code = FindCode(kCombinedRights, pair);
        if (code == nullptr)
            return false;
        mask |= code->value;
    }
    return true;
}

bool IsGuid(std::string_view text) {
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const char c = text[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (dash ? c != '-' : !hex)
            return false;
    }
    return true;
}

// A SID field: an alias or the text form, returned in the text form Windows writes.
std::optional<std::string> ParseSid(std::string_view text) {
    if (text.size() == 2) {
        const bool machineRelative = text == "LA" || text == "LG";
        return tl::SidFromAlias(text,
                                machineRelative ? tl::TheSecurityBackend().MachineSid() : std::string());
    }
    const auto binary = tl::SidFromText(text);
    if (!binary)
        return std::nullopt;
    return tl::SidToText(binary->data(), binary->size());
}

bool ParseAce(std::string_view text, bool dacl, ACE& ace) {
    const std::vector<std::string_view> fields = SplitFields(text);
    if (fields.size() != 6)
        return false;
    const Code* type = dacl ? FindCode(kDaclTypes, fields[0]) : FindCode(kSaclTypes, fields[0]);
    DWORD flags = 0;
    if (type == nullptr || !ParseCodes(fields[1], kAceFlags, flags) || !ParseRights(fields[2], ace.mask))
        return false;
    const bool objectEntry = type->value == ACCESS_ALLOWED_OBJECT_ACE_TYPE ||
                             type->value == ACCESS_DENIED_OBJECT_ACE_TYPE || type->value == 7 ||
                             type->value == 8;
    for (const std::string_view guid : {fields[3], fields[4]}) {
        if (!guid.empty() && (!objectEntry || !IsGuid(guid)))
            return false;
    }
    auto sid = ParseSid(fields[5]);
    if (!sid)
        return false;
    ace.type = static_cast<BYTE>(type->value);
    ace.flags = static_cast<BYTE>(flags);
    ace.objectGuid = std::string(fields[3]);
    ace.inheritedObjectGuid = std::string(fields[4]);
    ace.sid = std::move(*sid);
    return true;
}

// "D:" or "S:" after its tag: flags, then entries in parentheses.
bool ParseAclPart(std::string_view text, bool dacl, WORD& control, std::optional<ACL>& acl) {
    ACL entries;
    bool nullAcl = false;
    while (!text.empty() && text[0] != '(') {
        if (text.starts_with(kNullDacl)) {
            nullAcl = true;
            text.remove_prefix(sizeof kNullDacl - 1);
        } else if (text.starts_with("P")) {
            control |= dacl ? SE_DACL_PROTECTED : 0;
            text.remove_prefix(1);
        } else if (text.starts_with("AI")) {
            control |= dacl ? SE_DACL_AUTO_INHERITED : 0;
            text.remove_prefix(2);
        } else if (text.starts_with("AR")) {
            control |= dacl ? SE_DACL_AUTO_INHERIT_REQ : 0;
            text.remove_prefix(2);
        } else {
            return false;
        }
    }
    while (!text.empty()) {
        const std::size_t close = text.find(')');
        if (text[0] != '(' || close == std::string_view::npos || nullAcl)
            return false;
        ACE ace;
        if (!ParseAce(text.substr(1, close - 1), dacl, ace))
            return false;
        entries.entries.push_back(std::move(ace));
        text.remove_prefix(close + 1);
    }
    if (dacl) {
        control |= SE_DACL_PRESENT;
        acl = nullAcl ? std::nullopt : std::optional<ACL>(std::move(entries));
    }
    return true;
}

// Where the part that starts at from ends: at the next "X:" tag outside parentheses.
std::size_t PartEnd(std::string_view text, std::size_t from) {
    int depth = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == '(')
            ++depth;
        else if (text[i] == ')')
            --depth;
        else if (depth == 0 && text[i] == ':' && i > from)
            return i - 1;
    }
    return text.size();
}

bool Parse(std::string_view text, SECURITY_DESCRIPTOR& descriptor) {
    std::string seen;
    for (std::size_t pos = 0; pos < text.size();) {
        if (pos + 2 > text.size() || text[pos + 1] != ':')
            return false;
        const char tag = text[pos];
        if (std::string_view("OGDS").find(tag) == std::string_view::npos ||
            seen.find(tag) != std::string::npos)
            return false;
        seen += tag;
        const std::size_t end = PartEnd(text, pos + 2);
        const std::string_view value = text.substr(pos + 2, end - pos - 2);
        pos = end;
        if (tag == 'O' || tag == 'G') {
            auto sid = ParseSid(value);
            if (!sid)
                return false;
            (tag == 'O' ? descriptor.owner : descriptor.group) = std::move(*sid);
            continue;
        }
        std::optional<ACL> ignored;
        if (!ParseAclPart(value, tag == 'D', descriptor.control, tag == 'D' ? descriptor.dacl : ignored))
            return false;
    }
    return true;
}

std::string FormatRights(DWORD mask) {
    for (const Code& code : kCombinedRights) {
        if (mask == code.value)
            return code.text;
    }
    std::string text;
    DWORD covered = 0;
    for (const Code& code : kSingleRights) {
        if ((mask & code.value) == code.value) {
            text += code.text;
            covered |= code.value;
        }
    }
    if (covered == mask && !text.empty())
        return text;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(mask));
    return hex;
}

std::string FormatAce(const ACE& ace, const std::string& machineSid) {
    std::string text = "(";
    for (const Code& type : kDaclTypes) {
        if (type.value == ace.type)
            text += type.text;
    }
    text += ';';
    for (const Code& flag : kAceFlags) {
        if ((ace.flags & flag.value) != 0)
            text += flag.text;
    }
    text += ';' + FormatRights(ace.mask) + ';' + ace.objectGuid + ';' + ace.inheritedObjectGuid + ';';
    const std::string alias = tl::AliasFromSid(ace.sid, machineSid);
    text += alias.empty() ? ace.sid : alias;
    return text + ")";
}

} // namespace

bool ConvertStringSecurityDescriptorToSecurityDescriptorA(std::string_view text, DWORD revision,
                                                          SECURITY_DESCRIPTOR& descriptor) {
    if (revision != SDDL_REVISION_1) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return false;
    }
    SECURITY_DESCRIPTOR parsed;
    if (!Parse(text, parsed)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    descriptor = std::move(parsed);
    return true;
}

bool ConvertSecurityDescriptorToStringSecurityDescriptorA(const SECURITY_DESCRIPTOR& descriptor,
                                                          DWORD revision, DWORD information,
                                                          std::string& text) {
    if (revision != SDDL_REVISION_1) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return false;
    }
    text.clear();
    if ((information & DACL_SECURITY_INFORMATION) == 0 || (descriptor.control & SE_DACL_PRESENT) == 0)
        return true;
    text = "D:";
    if ((descriptor.control & SE_DACL_PROTECTED) != 0)
        text += 'P';
    if ((descriptor.control & SE_DACL_AUTO_INHERIT_REQ) != 0)
        text += "AR";
    if ((descriptor.control & SE_DACL_AUTO_INHERITED) != 0)
        text += "AI";
    if (!descriptor.dacl) {
        text += kNullDacl;
        return true;
    }
    std::string machineSid;
    for (const ACE& ace : descriptor.dacl->entries) {
        if (machineSid.empty() && ace.sid.starts_with("S-1-5-21-"))
            machineSid = tl::TheSecurityBackend().MachineSid();
        text += FormatAce(ace, machineSid);
    }
    return true;
}

bool GetSecurityDescriptorDacl(const SECURITY_DESCRIPTOR& descriptor, bool& present, const ACL*& dacl,
                               bool& defaulted) {
    present = (descriptor.control & SE_DACL_PRESENT) != 0;
    dacl = present && descriptor.dacl ? &*descriptor.dacl : nullptr;
    defaulted = false;
    return true;
}

} // namespace win
