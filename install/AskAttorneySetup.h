#pragma once

class CSetupSheet;

/// Opens the attorney roster when the user asked for it on the attorney-setup page and the shared
/// files are kept here (not install type 2); logs the choice either way.
void AskAttorneySetup(CSetupSheet& sheet);
