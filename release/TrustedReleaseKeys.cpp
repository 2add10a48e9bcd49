#include "release/TrustedReleaseKeys.h"

#include "app/AppConstants.h"
#include "app/CSetupSheet.h"
#include "platform/Registry.h"
#include "platform/RunState.h"
#include "release/ManifestNames.h"

#include <algorithm>
#include <mutex>

#ifndef TL_RELEASE_PUBLIC_KEYS
#define TL_RELEASE_PUBLIC_KEYS ""
#endif

namespace {

// The keys that tests build in instead of the build's; part of the run state, so each test starts
// with the build's own.
struct ReleaseKeysRunState {
    std::optional<std::vector<std::string>> builtInForTesting;
};

std::mutex builtInMutex;

std::optional<std::vector<std::string>>& BuiltInForTesting() {
    return tl::RunState::Part<ReleaseKeysRunState>().builtInForTesting;
}

// The build's keys, separated by blanks (CMake has checked each).
std::vector<std::string> BuiltInKeyTexts() {
    std::lock_guard lock(builtInMutex);
    if (BuiltInForTesting())
        return *BuiltInForTesting();
    std::vector<std::string> texts;
    const std::string_view all = TL_RELEASE_PUBLIC_KEYS;
    for (std::size_t at = 0; (at = all.find_first_not_of(' ', at)) != std::string_view::npos;) {
        const std::size_t end = std::min(all.find(' ', at), all.size());
        texts.emplace_back(all.substr(at, end - at));
        at = end;
    }
    return texts;
}

class KeyCollector {
public:
    explicit KeyCollector(CSetupSheet& sheet) : sheet_(sheet) {}

    void Add(const std::string& text, const char* source) {
        trusted_.required = true;
        std::string error;
        const std::optional<Ed25519PublicKey> key = ParseEd25519Key(text, error);
        if (!key) {
            sheet_.Log("**** Ignoring trusted release key \"%s\" %s: it %s", PrintableName(text).c_str(),
                       source, error.c_str());
            return;
        }
        if (std::find(trusted_.keys.begin(), trusted_.keys.end(), *key) == trusted_.keys.end())
            trusted_.keys.push_back(*key);
    }

    // An administrator's list that cannot be read still says that a signature is wanted.
    void Unreadable(const char* why) {
        trusted_.required = true;
        sheet_.Log("**** Ignoring %s in the machine-wide settings: %s", kTrustedReleaseKeysValue, why);
    }

    void AddFromRegistry();

    TrustedReleaseKeys Result() && { return std::move(trusted_); }

private:
    CSetupSheet& sheet_;
    TrustedReleaseKeys trusted_;
};

void KeyCollector::AddFromRegistry() {
    constexpr const char* kSource = "in the machine-wide settings";
    win::RegKey settings;
    const LONG opened = win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, kSettingsKey, false, settings);
    if (opened == win::ERROR_FILE_NOT_FOUND)
        return;
    if (opened != win::ERROR_SUCCESS)
        return Unreadable("the registry cannot be read");
    DWORD type = 0;
    std::string data;
    const LONG queried = win::RegQueryValueEx(settings, kTrustedReleaseKeysValue, &type, &data);
    if (queried == win::ERROR_FILE_NOT_FOUND)
        return;
    if (queried != win::ERROR_SUCCESS)
        return Unreadable("the registry cannot be read");
    if (type != win::REG_MULTI_SZ && type != win::REG_SZ)
        return Unreadable("not a REG_MULTI_SZ value");
    const std::vector<std::string> texts =
        type == win::REG_MULTI_SZ ? win::DecodeMultiString(data) : std::vector<std::string>{data.c_str()};
    for (const std::string& text : texts) {
        if (text.find_first_not_of(" \t") != std::string::npos)
            Add(text, kSource);
    }
}

} // namespace

TrustedReleaseKeys LoadTrustedReleaseKeys(CSetupSheet& sheet) {
    KeyCollector collector(sheet);
    for (const std::string& text : BuiltInKeyTexts())
        collector.Add(text, "built into the program");
    collector.AddFromRegistry();
    return std::move(collector).Result();
}

void SetBuiltInReleaseKeysForTesting(std::optional<std::vector<std::string>> keys) {
    std::lock_guard lock(builtInMutex);
    BuiltInForTesting() = std::move(keys);
}
