#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace win {

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

/// The HRESULT of a Windows error code.
constexpr HRESULT HRESULT_FROM_WIN32(DWORD error) {
    return error == 0 ? S_OK : static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu));
}

/// The shell's link object as the installation uses it (IShellLinkA with IPersistFile): a target
/// path and a description, saved as a Windows shell link file (.lnk) in the published binary
/// format: the header, the LinkInfo that locates the target (a volume and local base path, or the
/// network share and path suffix of a UNC target) and the description as the name string.
class ShellLink {
public:
    /// The target, a fully qualified Windows path (a drive path or a UNC path). E_INVALIDARG for
    /// anything else. The target need not exist; when it does, its attributes, times and size go
    /// into the link as Windows records them.
    HRESULT SetPath(std::string_view target);
    /// At most 1024 bytes (INFOTIPSIZE); E_INVALIDARG for a longer one.
    HRESULT SetDescription(std::string_view description);

    /// Writes the link file, replacing an existing one as a whole. E_INVALIDARG without a target;
    /// otherwise the HRESULT of the file error (0x80070003 when the folder does not exist).
    HRESULT Save(std::string_view linkPath, bool remember);

    /// The bytes Save writes.
    std::string Bytes() const;

private:
    std::string target_;
    std::string description_;
};

} // namespace win
