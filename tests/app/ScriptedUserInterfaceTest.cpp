#include "app/ScriptedUserInterface.h"

#include "platform/WinTypes.h"

#include <gtest/gtest.h>

using namespace win;

TEST(ScriptedUserInterfaceTest, AnswersFromQueueThenSafeDefaultsAndRecordsEverything) {
    ScopedScriptedUserInterface ui;
    ui.QueueAnswer(IDYES);
    EXPECT_EQ(AppMessageBox("Create it?", MB_YESNO | MB_ICONINFORMATION), IDYES);
    EXPECT_EQ(AppMessageBox("Again?", MB_YESNO), IDNO);
    EXPECT_EQ(AppMessageBox("Stop", MB_ICONSTOP), IDOK);
    EXPECT_EQ(AppMessageBox("Save?", MB_YESNOCANCEL, "Attorney"), IDCANCEL);
    ASSERT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(ui.Messages()[0].caption, "Tallymar Setup");
    EXPECT_EQ(ui.Messages()[0].style, MB_YESNO | MB_ICONINFORMATION);
    EXPECT_EQ(ui.Messages()[3].caption, "Attorney");
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Create it?", "Again?", "Stop", "Save?"}));

    TheUserInterface().ShowProgress("Tallymar Setup", "Opening databases");
    TheUserInterface().SetProgressText("Downloading x...");
    TheUserInterface().HideProgress();
    EXPECT_EQ(ui.ProgressEvents(), (std::vector<std::string>{"show:Tallymar Setup|Opening databases",
                                                             "text:Downloading x...", "hide"}));
}
