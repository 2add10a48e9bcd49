#pragma once

#include <functional>
#include <string>

/// The application object: its start-up routine is the whole life of the program. It reads the
/// per-user HomeDirectory setting and runs the first installation when it is empty, the update
/// otherwise; nothing else decides between the two.
class CSetupApp {
public:
    /// A mode's entry point: takes one integer (always 0) and returns its result.
    using ModeEntry = std::function<int(int)>;
    enum class Mode { None, FullInstall, Update };

    CSetupApp(ModeEntry runFullInstall, ModeEntry runUpdate);

    /// Start-up: names the application, routes XML parse-error boxes to the user interface, probes
    /// HomeDirectory and runs one mode. Returns false, so that the program ends without a message
    /// loop of its own.
    bool InitInstance();

    Mode ChosenMode() const { return mode_; }
    /// What the chosen mode returned (0 before InitInstance).
    int ModeResult() const { return result_; }

    const std::string& RegistryKey() const { return registryKey_; }
    const std::string& AppName() const { return appName_; }
    const std::string& ProfileName() const { return profileName_; }

private:
    ModeEntry runFullInstall_;
    ModeEntry runUpdate_;
    std::string registryKey_;
    std::string appName_;
    std::string profileName_;
    Mode mode_ = Mode::None;
    int result_ = 0;
};
