#include "release/UninstallEntries.h"

#include "app/CSetupSheet.h"

void RecordDeleteFile(CSetupSheet& sheet, const std::string& path) {
    sheet.AddDeleteFile(path);
}

void ForgetDeleteFile(CSetupSheet& sheet, const std::string& path) {
    sheet.RemoveDeleteFile(path);
}
