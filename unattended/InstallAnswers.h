#pragma once

class AnswerFileUserInterface;
class CSetupSheet;

/// Answers the installation wizard's pages from the [Install] section, in the pages' order and
/// with their rules, defaults, checks and messages, for the pages the install type shows. Stores
/// every answer in the sheet as the pages do. Returns ID_WIZFINISH when every page took its
/// answer; IDCANCEL when one was refused or ended the run (the user interface says which).
int AnswerInstallWizard(CSetupSheet& sheet, AnswerFileUserInterface& ui);
