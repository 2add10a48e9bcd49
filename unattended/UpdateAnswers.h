#pragma once

class AnswerFileUserInterface;
class CSetupSheet;

/// Answers the update wizard's pages from the [Update] section, for the pages the sheet shows:
/// the installation directory and the install type only when the settings lack them, the state
/// practice modules (by default those installed), the shared-file updates when they apply (by
/// default not now), and the list of files, which is built as the list page builds it and
/// written out. Returns ID_WIZFINISH, or IDCANCEL when an answer was refused.
int AnswerUpdateWizard(CSetupSheet& sheet, AnswerFileUserInterface& ui);
