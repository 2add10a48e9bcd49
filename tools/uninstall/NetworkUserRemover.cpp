#include "tools/uninstall/NetworkUserRemover.h"

namespace tl::uninstall {

DWORD NoNetworkUserRemover::RemoveNetworkUser(const HomeDirectory&, std::string& detail) {
    detail = "this computer's user accounts cannot be changed by the uninstaller; remove the network user "
             "by hand";
    return kErrorNotSupported;
}

} // namespace tl::uninstall
