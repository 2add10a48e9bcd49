#include "tools/uninstall/EntryCheck.h"

#include "app/AppConstants.h"
#include "platform/LocalShares.h"
#include "platform/Machine.h"
#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"

#include <vector>

namespace tl::uninstall {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SplitOn(std::string_view text, std::string_view separators) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of(separators, start);
        parts.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

bool HasDotComponent(const std::string& text) {
    for (const std::string& part : SplitOn(text, "\\/")) {
        if (part == "." || part == "..")
            return true;
    }
    return false;
}

bool LooksAbsolute(const std::string& text) {
    const bool drive = text.size() >= 3 && AsciiToUpper(text[0]) >= 'A' && AsciiToUpper(text[0]) <= 'Z' &&
                       text[1] == ':' && (text[2] == '\\' || text[2] == '/');
    return drive || text.starts_with("\\\\");
}

CheckedPath Refuse(std::string reason) {
    CheckedPath result;
    result.reason = std::move(reason);
    return result;
}

bool InsideAShare(const fs::path& host, const HomeDirectory& home) {
    if (home.IsHere() && IsInside(host, home.host))
        return true;
    for (const ShareInfo& share : ListLocalShares()) {
        if (const auto folder = MapToHostPath(share.path);
            folder && IsInside(host, CanonicalHostPath(*folder)))
            return true;
    }
    return false;
}

} // namespace

CheckedPath CheckDeletePath(const std::string& text, const MachineFolders& folders,
                            const HomeDirectory& home) {
    if (text.empty())
        return Refuse("it is empty");
    if (HasDotComponent(text))
        return Refuse("it has a \".\" or \"..\" component");
    DWORD error = 0;
    const auto parsed = LooksAbsolute(text) ? ParseWindowsPath(text, &error) : std::nullopt;
    if (!parsed)
        return Refuse("it is not an absolute path of this computer");
    const Machine& machine = Machine::Current();
    if (parsed->kind == WindowsPath::Kind::Unc && !IsThisComputer(parsed->server, machine))
        return Refuse("it is on another computer");
    const auto host = MapToHostPath(text, machine, &error);
    if (!host) {
        if (parsed->kind == WindowsPath::Kind::Unc && error == win::ERROR_BAD_NET_NAME) {
            CheckedPath gone;
            gone.verdict = CheckedPath::Verdict::Unreachable;
            gone.reason = "its share no longer exists";
            return gone;
        }
        return Refuse("it is not on a drive of this computer");
    }
    CheckedPath result;
    result.host = CanonicalHostPath(*host);
    if (std::string reason = folders.RefusalFor(result.host); !reason.empty())
        return Refuse(std::move(reason));
    if (!folders.IsOnThisComputer(result.host))
        return Refuse("it leads off this computer's drives");
    if (home.IsHere() && result.host == home.host)
        return Refuse("it names the home directory itself");
    result.verdict =
        InsideAShare(result.host, home) ? CheckedPath::Verdict::FirmData : CheckedPath::Verdict::Delete;
    return result;
}

std::string CheckDeleteKey(const std::string& key) {
    if (key.empty())
        return "it is empty";
    const std::vector<std::string> parts = SplitOn(key, "\\");
    for (const std::string& part : parts) {
        if (part.empty())
            return "it has an empty component";
        if (part == "." || part == "..")
            return "it has a \".\" or \"..\" component";
    }
    const std::string product = kProductKey;
    if (!EqualsNoCase(key, product) && !StartsWithNoCase(key, product + "\\"))
        return "it is not the product's own key " + product;
    return {};
}

} // namespace tl::uninstall
