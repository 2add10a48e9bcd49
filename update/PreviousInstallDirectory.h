#pragma once

#include <string>

/// Whether a folder is where the product was installed before: it exists and holds
/// "Tallymar.exe".
bool HoldsTallymarProgram(const std::string& folder);
