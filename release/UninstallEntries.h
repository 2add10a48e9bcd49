#pragma once

#include <string>

class CSetupSheet;

// The product files' entries in the uninstall manifest, in one place each: a download records
// the file, the deletion of an obsolete file forgets it.

/// Records a DeleteFile entry for path.
void RecordDeleteFile(CSetupSheet& sheet, const std::string& path);

/// Removes every DeleteFile entry for path (compared without regard to case).
void ForgetDeleteFile(CSetupSheet& sheet, const std::string& path);
