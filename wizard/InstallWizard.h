#pragma once

class CSetupSheet;
class CSetupSheetWindow;

/// Adds the ten pages of the installation wizard to a sheet window, in wizard order: welcome,
/// licence, firm name, attorney password, staff password, installation directory, home directory,
/// attorney setup, state practice modules, finish.
void AddInstallPages(CSetupSheetWindow& window);

/// Builds the installation wizard on the sheet and runs it modally (GUI thread only). Returns
/// ID_WIZFINISH when the user pressed Finish, IDCANCEL otherwise; the answers stay in the sheet.
int RunInstallWizardWindow(CSetupSheet& sheet);
