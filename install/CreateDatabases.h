#pragma once

#include <string>

class CSetupSheet;

/// Creates the main database "<home>\Tallymar.mdb": an existing file is logged and replaced, every
/// table is made in one transaction, the firm's row (name and address from the sheet) is inserted
/// in a second, the passwords are stored (SetPasswords, whose own failure is shown and does not
/// fail the creation), theMainDb is closed, and the file is recorded in the uninstall manifest.
/// Every step is logged. Runs once per run: later calls return true at once. On a failure the
/// user is told in a message box, the half-made file is deleted where it was opened, and the
/// result is false.
bool CreateMainDatabase(CSetupSheet& sheet, const std::string& homeDirectory);

/// Creates the creditor names database "<home>\CreditorNames.mdb" with its three tables on a
/// connection of its own, as CreateMainDatabase does (no firm row, no passwords).
bool CreateCreditorNamesDatabase(CSetupSheet& sheet, const std::string& homeDirectory);
