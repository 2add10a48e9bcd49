#include "app/UserInterface.h"

#include "app/ScriptedUserInterface.h"

#include <atomic>

namespace {

UserInterface& DefaultUserInterface() {
    static ScriptedUserInterface fallback;
    return fallback;
}

std::atomic<UserInterface*> installed{nullptr};

} // namespace

UserInterface& TheUserInterface() {
    UserInterface* ui = installed.load();
    return ui != nullptr ? *ui : DefaultUserInterface();
}

UserInterface* SetUserInterface(UserInterface* ui) {
    return installed.exchange(ui);
}

int AppMessageBox(const std::string& text, unsigned style, const std::string& caption) {
    return TheUserInterface().MessageBox(text, caption, style);
}
