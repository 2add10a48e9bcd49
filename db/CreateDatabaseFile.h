#pragma once

#include "platform/WinTypes.h"

#include <string_view>

/// Makes a new, empty database file at a Windows path, as the ODBC installer's CREATE_DB request
/// does for the Access driver. Returns ERROR_SUCCESS, or a Windows system error code (also left in
/// win::GetLastError): ERROR_FILE_EXISTS when a file or folder of that name exists (an existing
/// database is never reused), ERROR_PATH_NOT_FOUND when the folder does not exist, or the code of
/// the file system's refusal.
DWORD CreateDatabaseFile(std::string_view windowsPath);
