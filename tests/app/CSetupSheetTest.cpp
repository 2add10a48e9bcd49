#include "app/CSetupSheet.h"

#include <gtest/gtest.h>

TEST(CSetupSheetTest, CaptionDecidesUpdateAndFieldsStartEmpty) {
    CSetupSheet install(CSetupSheet::kInstallCaptionId);
    CSetupSheet update(CSetupSheet::kUpdateCaptionId);
    EXPECT_FALSE(install.isUpdate);
    EXPECT_TRUE(update.isUpdate);
    EXPECT_TRUE(install.installDirectory.empty());
    EXPECT_TRUE(install.states.empty());
    EXPECT_EQ(install.installType, 0);
    EXPECT_EQ(install.sharedUpdatesNeeded, 0);
}

TEST(CSetupSheetTest, ChoicesAreReplacedOrAppendedAndDefaultToZero) {
    CSetupSheet sheet(CSetupSheet::kInstallCaptionId);
    EXPECT_EQ(sheet.GetChoice(kChoiceSharedFilesElsewhere), 0);
    sheet.SetChoice(kChoiceThisComputerOnly, 1);
    sheet.SetChoice(kChoiceSharedFilesElsewhere, 0);
    sheet.SetChoice(kChoiceThisComputerOnly, 0);
    sheet.SetChoice(kChoiceSharedFilesElsewhere, 1);
    EXPECT_EQ(sheet.GetChoice(kChoiceThisComputerOnly), 0);
    EXPECT_EQ(sheet.GetChoice(kChoiceSharedFilesElsewhere), 1);
    EXPECT_EQ(sheet.GetChoice(kChoiceSetupAttorneysNow), 0);
}
