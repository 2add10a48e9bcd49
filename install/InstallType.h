#pragma once

#include "app/CSetupSheet.h"

/// Install types: this computer only; a network whose shared files are kept here; a network whose
/// shared files are kept on a different computer.
inline constexpr int kInstallThisComputerOnly = 0;
inline constexpr int kInstallSharedFilesHere = 1;
inline constexpr int kInstallSharedFilesElsewhere = 2;

/// The install type the welcome page recorded: 1 when choice 1001 is set, else 2 when choice
/// 1002 is set, else 0.
inline int InstallTypeFromChoices(const CSetupSheet& sheet) {
    if (sheet.GetChoice(kChoiceSharedFilesHere) != 0)
        return kInstallSharedFilesHere;
    if (sheet.GetChoice(kChoiceSharedFilesElsewhere) != 0)
        return kInstallSharedFilesElsewhere;
    return kInstallThisComputerOnly;
}
