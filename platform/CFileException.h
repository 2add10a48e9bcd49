#pragma once

#include "platform/CException.h"
#include "platform/WinTypes.h"

#include <string>

/// A failure of a file or pipe: it could not be opened, read, written or closed. Carries the
/// Windows system error code and the text to show.
class CFileException : public CException {
public:
    CFileException(DWORD osError, std::string message) : CException(std::move(message)), osError_(osError) {}

    /// The Windows system error code (ERROR_BROKEN_PIPE, ERROR_ACCESS_DENIED, ...).
    DWORD OsError() const { return osError_; }

private:
    DWORD osError_;
};
