#pragma once

#include "app/ManifestObjects.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// The states the manifest supplies a practice module for: the State codes of its modules and
/// support files whose Flags carry FlagStateModule, sorted and with duplicates removed, both
/// without regard to case (the first spelling in sorted order is kept). Empty when there is no
/// manifest or either of its two file lists is empty. Entries without a State code name no state
/// and are left out.
std::vector<std::string>
StateModuleCodes(const std::vector<std::unique_ptr<XCurrentVersion>>& manifestObjects);

/// True when every file of a state's module exists: in the home directory for files the manifest
/// places there, in the installation directory otherwise. False for a state with no files.
bool IsStateModuleInstalled(const XCurrentVersion& manifest, std::string_view state,
                            const std::string& installDirectory, const std::string& homeDirectory);
