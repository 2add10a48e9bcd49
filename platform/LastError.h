#pragma once

#include "platform/WinTypes.h"

namespace win {

/// The calling thread's last system error code, as the Windows calls of this layer leave it.
DWORD GetLastError();
void SetLastError(DWORD code);

/// Windows error code for a POSIX errno value (ENOENT -> ERROR_FILE_NOT_FOUND, EACCES ->
/// ERROR_ACCESS_DENIED, ...); unknown values give ERROR_GEN_FAILURE.
DWORD ErrorFromErrno(int error);

} // namespace win
