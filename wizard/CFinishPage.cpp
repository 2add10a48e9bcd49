#include "wizard/CFinishPage.h"

#include "wizard/PageWidgets.h"

#include <QVBoxLayout>

CFinishPage::CFinishPage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, IDS_FINISH_TITLE, IDS_FINISH_SUBTITLE) {
    setObjectName("CFinishPage");
    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(
        MakeText(this, "finishText",
                 QStringLiteral("Press Back to review or change your initial settings. Press Finish "
                                "to finish setting up Tallymar according to your directions.")));
    layout->addStretch(1);
}
