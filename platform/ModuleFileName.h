#pragma once

#include <string>

namespace win {

/// The full Windows path of the running program. A program inside one of the machine's drive
/// folders gets that drive's path ("C:\..."); any other gets the host path under "Z:", the way
/// Wine shows the host's root ("Z:\usr\bin\tlinstall"). "" when the host does not tell.
std::string GetModuleFileName();

} // namespace win
