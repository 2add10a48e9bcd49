#include "install/HomeDirectoryCheck.h"

#include "app/UserInterface.h"
#include "install/InstallType.h"
#include "platform/Format.h"
#include "platform/NetEnum.h"
#include "platform/PathHelpers.h"
#include "platform/TextUtil.h"
#include "platform/WinTypes.h"
#include "resources/StringTable.h"

namespace {

constexpr std::string_view kForbiddenShareCharacters = " \"'!@#$%^&*()+|\\=-:;[]{}/.,<>?";
static_assert(kForbiddenShareCharacters.size() == 30);

// The databases a home directory made by setup on the main computer holds, in the order checked.
constexpr const char* kSharedDatabases[] = {"TallymarPlaces.mdb", "Tallymar.mdb", "CreditorNames.mdb",
                                            "MeansTest.mdb"};

void Stop(unsigned messageId) {
    AppMessageBox(tl::LoadString(messageId), win::MB_OK | win::MB_ICONSTOP);
}

} // namespace

bool HasForbiddenShareCharacter(std::string_view shareName) {
    return shareName.find_first_of(kForbiddenShareCharacters) != std::string_view::npos;
}

bool IsComplete(const HomeDirectoryAnswers& answers) {
    if (answers.path.empty())
        return false;
    return answers.installType == kInstallSharedFilesElsewhere ||
           (!answers.shareName.empty() && !answers.userName.empty());
}

bool HomeDirectoryCheck::Run(const HomeDirectoryAnswers& answers) {
    const std::string& path = answers.path;
    // A leading blank is tolerated; only blanks inside the name are refused.
    if (path.find(' ', 1) != std::string::npos) {
        Stop(IDS_HOME_DIR_SPACES);
        return false;
    }
    const bool sharedFilesHere = answers.installType != kInstallSharedFilesElsewhere;
    if (sharedFilesHere && !tl::IsLocalHardDrive(path)) {
        Stop(IDS_HOME_DIR_NOT_LOCAL);
        return false;
    }
    bool needCreate = !tl::PathExists(path);
    bool needShare = false;
    if (sharedFilesHere && !CheckShareOnThisComputer(answers, needShare))
        return false;
    if (!sharedFilesHere && !HasAllDatabases(path)) {
        Stop(IDS_HOME_DIR_NO_DATABASES);
        return false;
    }
    needCreate = needCreate && !creationConfirmed_;
    needShare = needShare && !sharingConfirmed_;
    if (!needCreate && !needShare)
        return true;
    if (HasForbiddenShareCharacter(answers.shareName)) {
        Stop(IDS_SHARE_NAME_CHARACTERS);
        return false;
    }
    return Confirm(answers, needCreate, needShare);
}

bool HomeDirectoryCheck::CheckShareOnThisComputer(const HomeDirectoryAnswers& answers,
                                                  bool& needShare) const {
    win::SHARE_INFO_2 share;
    if (win::NetShareGetInfo("", answers.shareName, 2, share) != win::NERR_Success) {
        needShare = true;
        return true;
    }
    if (tl::EqualsNoCase(share.shi2_path, answers.path))
        return true;
    AppMessageBox(tl::Format(tl::LoadString(IDS_SHARE_NAME_TAKEN).c_str(), answers.shareName.c_str(),
                             share.shi2_path.c_str()),
                  win::MB_OK | win::MB_ICONSTOP);
    return false;
}

bool HomeDirectoryCheck::HasAllDatabases(const std::string& path) {
    for (const char* database : kSharedDatabases) {
        if (!tl::PathExists(path + "\\" + database))
            return false;
    }
    return true;
}

bool HomeDirectoryCheck::Confirm(const HomeDirectoryAnswers& answers, bool needCreate, bool needShare) {
    const char* path = answers.path.c_str();
    const char* share = answers.shareName.c_str();
    const char* user = answers.userName.c_str();
    std::string question;
    if (needCreate && needShare)
        question = tl::Format(tl::LoadString(IDS_CONFIRM_CREATE_AND_SHARE).c_str(), path, share, user);
    else if (needCreate)
        question = tl::Format(tl::LoadString(IDS_CONFIRM_CREATE_FOLDER).c_str(), path);
    else
        question = tl::Format(tl::LoadString(IDS_CONFIRM_SHARE).c_str(), path, share, user);
    if (AppMessageBox(question, win::MB_YESNO | win::MB_ICONINFORMATION) != win::IDYES)
        return false;
    creationConfirmed_ = true;
    sharingConfirmed_ = true;
    return true;
}
