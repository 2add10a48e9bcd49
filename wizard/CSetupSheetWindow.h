#pragma once

#include <QDialog>
#include <vector>

class CSetupPage;
class CSetupSheet;
class QLabel;
class QPushButton;
class QStackedWidget;
class QWidget;

/// The wizard window of a CSetupSheet, in the wizard-97 look: exterior pages (no header) show the
/// watermark picture on the left; interior pages a header band with title, subtitle and picture.
/// Back, Next, Finish and Cancel are handed to the active page's OnWizardBack, OnWizardNext,
/// OnWizardFinish and OnQueryCancel; the pages move the window themselves (SetActivePage).
class CSetupSheetWindow : public QDialog {
    Q_OBJECT
public:
    /// PSM_PRESSBUTTON button numbers.
    enum Button { PSBTN_BACK = 0, PSBTN_NEXT = 1, PSBTN_FINISH = 2, PSBTN_CANCEL = 5 };

    /// The window for a sheet; its caption is the sheet's caption string.
    explicit CSetupSheetWindow(CSetupSheet& sheet, QWidget* parent = nullptr);
    ~CSetupSheetWindow() override;

    CSetupSheet& Sheet() const { return sheet_; }

    /// Adds a page at the end (the window owns it).
    void AddPage(CSetupPage* page);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    CSetupPage* GetPage(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    /// -1 for a page that was not added.
    int GetPageIndex(const CSetupPage* page) const;
    int GetActiveIndex() const { return active_; }
    CSetupPage* GetActivePage() const { return active_ < 0 ? nullptr : GetPage(active_); }

    /// Shows a page: initialises it the first time, switches header or watermark and calls its
    /// OnSetActive. False for an index out of range.
    bool SetActivePage(int index);

    /// PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH (Finish replaces Next), PSWIZB_DISABLEDFINISH.
    void SetWizardButtons(unsigned flags);
    /// Presses a button after the current event has been handled (PSM_PRESSBUTTON is posted); a
    /// disabled or hidden button is not pressed.
    void PressButton(int button);

    /// Shows the first page and runs the window modally. ID_WIZFINISH when the user pressed Finish,
    /// IDCANCEL when the wizard was cancelled.
    int DoModal();
    /// What the window ended with (IDCANCEL until Finish).
    int Result() const { return result_; }

    /// Cancel, Escape and the window's close button all ask the active page first.
    void reject() override;

private:
    void OnBack();
    void OnNext();
    void OnFinish();
    void OnCancel();
    void ShowHeaderFor(const CSetupPage& page);
    QPushButton* ButtonFor(int button) const;

    CSetupSheet& sheet_;
    std::vector<CSetupPage*> pages_;
    int active_ = -1;
    int result_;

    QWidget* header_;
    QLabel* headerTitle_;
    QLabel* headerSubtitle_;
    QWidget* headerRule_;
    QWidget* body_;
    QLabel* watermark_;
    QStackedWidget* stack_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* finish_;
    QPushButton* cancel_;
};
