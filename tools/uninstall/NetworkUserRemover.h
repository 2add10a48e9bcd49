#pragma once

#include "platform/WinTypes.h"
#include "tools/uninstall/HomeDirectory.h"

#include <string>

namespace tl::uninstall {

/// What a remover answers when the platform cannot remove accounts.
inline constexpr DWORD kErrorNotSupported = 50; // ERROR_NOT_SUPPORTED

/// Removes the network user that the installation made for the home directory's share (the local
/// account with the comment "Tallymar network user"). The accounts belong to the platform's
/// account store; this seam lets the uninstaller reach it without knowing how it keeps them.
class NetworkUserRemover {
public:
    virtual ~NetworkUserRemover() = default;

    /// Removes the user. ERROR_SUCCESS when it is gone (also when there was none); otherwise the
    /// error, with what went wrong in *detail.
    virtual DWORD RemoveNetworkUser(const HomeDirectory& home, std::string& detail) = 0;
};

/// The remover for a platform that cannot delete accounts: it removes nothing and says so, with
/// ERROR_NOT_SUPPORTED.
class NoNetworkUserRemover : public NetworkUserRemover {
public:
    DWORD RemoveNetworkUser(const HomeDirectory& home, std::string& detail) override;
};

} // namespace tl::uninstall
