#pragma once

#include <string>
#include <string_view>

class CSetupSheet;

/// True for a plain file name that stays inside the folder it is joined to: not empty, not "." or
/// "..", and without path separators, a drive or stream colon, wildcard or quoting characters or
/// control characters.
bool IsPlainFileName(std::string_view name);

/// The name with control characters shown as "?", so that a hostile name cannot forge log lines.
std::string PrintableName(std::string_view name);

/// Logs "**** Refusing file name <name> from the file manifest: not a plain file name".
void LogRefusedFileName(CSetupSheet& sheet, std::string_view name);
