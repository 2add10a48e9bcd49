#pragma once

#include "resources/StringTable.h"

#include <QWidget>

class CSetupSheet;
class CSetupSheetWindow;

/// Base of every wizard page: the button logic, the cancel confirmation and the ability to be
/// skipped. A page is built with its sheet window, its dialog template's number and its header's
/// title and subtitle string ids (0 and 0 for a page without header band, which shows the
/// watermark instead). Pages are added to the sheet window in wizard order.
class CSetupPage : public QWidget {
    Q_OBJECT
public:
    CSetupPage(CSetupSheetWindow& sheet, unsigned templateId, unsigned headerTitleId,
               unsigned headerSubtitleId, unsigned captionId = IDS_SETUP_WIZARD);

    unsigned TemplateId() const { return templateId_; }
    unsigned HeaderTitleId() const { return headerTitleId_; }
    unsigned HeaderSubtitleId() const { return headerSubtitleId_; }
    unsigned CaptionId() const { return captionId_; }
    /// A page without header band (the welcome page) is an exterior page.
    bool HidesHeader() const { return headerTitleId_ == 0; }

    /// The string asked on Cancel: 119 unless changed (the update wizard's pages use 191).
    unsigned CancelConfirmationId() const { return cancelConfirmationId_; }
    void SetCancelConfirmationId(unsigned id) { cancelConfirmationId_ = id; }

    /// Runs OnInitDialog the first time the page is shown.
    void EnsureInitialised();
    bool IsInitialised() const { return initialised_; }

    /// Once, before the page is first shown: fills the controls from the run state.
    virtual void OnInitDialog() {}
    /// On every activation: Back unless this is the sheet's first page; Finish on its last page,
    /// Next on every other (by position among all pages added, applicable or not). Pages that
    /// override it call it first and may then restrict the buttons further.
    virtual bool OnSetActive();
    /// Asks the cancel-confirmation string with Yes and No; only Yes lets the sheet close.
    virtual bool OnQueryCancel();
    /// Activates the nearest applicable page before this one, or stays; always returns -1, so the
    /// sheet never moves by itself.
    virtual int OnWizardBack();
    /// Activates the nearest applicable page after this one, or stays; always returns -1. Pages
    /// validate and store their answers first and call this when that succeeded.
    virtual int OnWizardNext();
    /// Whether Finish may end the wizard.
    virtual bool OnWizardFinish() { return true; }
    /// Whether the page is shown; asked every time the user moves across it.
    virtual bool IsApplicable() { return true; }

protected:
    CSetupSheetWindow& SheetWindow() const { return sheet_; }
    CSetupSheet& Sheet() const;
    /// PSM_SETWIZBUTTONS with PSWIZB_BACK, PSWIZB_NEXT and PSWIZB_FINISH bits.
    void SetWizardButtons(unsigned flags);

private:
    CSetupSheetWindow& sheet_;
    unsigned templateId_;
    unsigned headerTitleId_;
    unsigned headerSubtitleId_;
    unsigned captionId_;
    unsigned cancelConfirmationId_ = IDS_CONFIRM_EXIT_SETUP;
    bool initialised_ = false;
};
