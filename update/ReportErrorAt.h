#pragma once

#include <string>

/// Shows a failure with the place in the program that met it: "<source>[<line>] - <message>" in a
/// message box with the given icon (MB_ICONINFORMATION, ...) and the application's caption.
void ReportErrorAt(const std::string& message, unsigned icon, const char* source, int line);
