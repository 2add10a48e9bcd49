#pragma once

class CSetupSheet;
class CSetupSheetWindow;

/// Adds the pages of the update wizard to a sheet window, in wizard order: welcome; the
/// installation directory when the sheet has none (the settings named none); the installation
/// type when the sheet's installType is -1 (the settings record none); state practice modules;
/// shared-file updates (shown only when it applies); the list of files.
void AddUpdatePages(CSetupSheetWindow& window);

/// Builds the update wizard on the sheet and runs it modally (GUI thread only). Returns
/// ID_WIZFINISH when the user pressed Finish, IDCANCEL otherwise; the answers stay in the sheet.
int RunUpdateWizardWindow(CSetupSheet& sheet);
