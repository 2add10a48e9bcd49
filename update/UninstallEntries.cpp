#include "update/UninstallEntries.h"

#include "app/CSetupSheet.h"

// The uninstall manifest document of the sheet is not in this build yet; until it is, the
// entries go nowhere.
void RecordDeleteFile(CSetupSheet&, const std::string&) {}

void ForgetDeleteFile(CSetupSheet&, const std::string&) {}
