#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace win {

inline constexpr int SW_SHOWNORMAL = 1;

/// Splits a Windows command line into arguments as the C run-time does: blanks and tabs separate,
/// double quotes group (a doubled quote inside quotes is a literal one), 2n backslashes before a
/// quote give n backslashes, 2n+1 give n and a literal quote; other backslashes are literal.
std::vector<std::string> CommandLineToArgv(std::string_view commandLine);

/// Starts a program of this machine with the default verb (ShellExecuteEx without a process
/// handle): file is a Windows path, parameters a command line split by CommandLineToArgv. The
/// program runs on its own; nobody waits for it. It sees the current machine: TALLYMAR_PREFIX,
/// TALLYMAR_COMPUTERNAME and TALLYMAR_USERNAME are set in its environment, the rest is this
/// process's. The show state has no meaning here. False with the last error set when the program
/// cannot be started: ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND when it is absent,
/// ERROR_ACCESS_DENIED when it may not be run, ERROR_BAD_EXE_FORMAT when it is no program.
bool ShellExecute(std::string_view file, std::string_view parameters, int show = SW_SHOWNORMAL);

} // namespace win
