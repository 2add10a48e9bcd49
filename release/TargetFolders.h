#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CSetupSheet;

// Where a product file of the manifest belongs on this computer; shared by the first
// installation, the reference-data import and the update.

/// True when state is one of the sheet's selected states, compared without regard to case.
bool IsStateSelected(const CSetupSheet& sheet, std::string_view state);

/// The target folder of a file with these Flags, ending in "\".
std::string TargetFolderFor(const CSetupSheet& sheet, std::int32_t flags);
