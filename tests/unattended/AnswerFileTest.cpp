#include "unattended/AnswerFile.h"

#include "unattended/AnswerValues.h"
#include "unattended/CommandLine.h"
#include "unattended/MessageReplies.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::vector<std::string> ErrorsOf(const std::string& text) {
    AnswerFile file;
    file.Read(text, "a.ini");
    std::vector<std::string> errors = file.Errors();
    ValidateAnswers(file, "a.ini", errors);
    return errors;
}

} // namespace

TEST(AnswerFile, ReadsSectionsKeysAndValuesAsWritten) {
    AnswerFile file;
    ASSERT_TRUE(file.Read(
        "\xEF\xBB\xBF; comment\r\n[install]\r\n  firmname = Smith & O'Hara  \r\n"
        "InstallDirectory=C:\\Program Files\\Tallymar\n\n# another\n[Attorney  Jane Roe ]\nName=Jane\n",
        "a.ini"));
    const AnswerSection* install = file.Find(AnswerSection::Kind::Install);
    ASSERT_NE(install, nullptr);
    EXPECT_EQ(install->Find("FirmName")->value, "Smith & O'Hara");
    EXPECT_EQ(install->Find("installdirectory")->value, "C:\\Program Files\\Tallymar") << "no escapes";
    EXPECT_EQ(install->Find("FirmName")->Where(), "a.ini(3): firmname");
    ASSERT_EQ(file.Attorneys().size(), 1u);
    EXPECT_EQ(file.Attorneys()[0]->label, "Jane Roe");
    EXPECT_FALSE(file.HoldsPassword());
}

TEST(AnswerFile, NamesFileLineAndKeyOfEveryFault) {
    EXPECT_THAT(
        ErrorsOf("FirmName=x\n[Install]\nFirm=x\nFirmName=a\nfirmname=b\nno equals sign\n[Instal]\nX=1\n"
                 "[Attorney]\n[Replies]\nAre you sure?=Maybe\n[Install]\n"),
        ElementsAre("a.ini(1): a value must follow a [section] header",
                    "a.ini(3): Firm is not a key of [Install]",
                    "a.ini(5): firmname is given twice (first in a.ini(4))",
                    "a.ini(6): a line must be a [section], a Key=Value or a comment",
                    "a.ini(7): unknown section [Instal]; an answer file has [Install], [Update], [Replies] "
                    "and [Attorney <name>] sections",
                    "a.ini(9): an [Attorney <name>] section needs a name after Attorney",
                    "a.ini(11): the reply to \"Are you sure?\" must be OK, Cancel, Yes, No, Abort, Retry "
                    "or Ignore",
                    "a.ini(12): [Install] is given twice (first in line 2)"));
}

TEST(AnswerFile, ChecksValuesAndAttorneysBeforeAnythingRuns) {
    EXPECT_THAT(
        ErrorsOf("[Install]\nInstallType=3\nAcceptLicense=sure\n[Update]\nApplySharedUpdates=2\n"
                 "[Attorney A]\nName=A\nAddress1=1 Main "
                 "St\nZipcode=10004\nInitials=ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
                 "Ecf2UserName=a\nDefault=perhaps\nEcf0District=x\n"
                 "[Attorney B]\nName=\xE2\x98\x83\nAddress1=x\n"),
        ElementsAre(
            "a.ini(13): Ecf0District is not a key of [Attorney A]",
            "a.ini(2): InstallType must be 0 (this computer only), 1 (a network whose shared files are "
            "kept on this computer) or 2 (a network whose shared files are kept on a different computer)",
            "a.ini(3): AcceptLicense must be yes or no", "a.ini(5): ApplySharedUpdates must be yes or no",
            "a.ini(10): Initials takes at most 50 characters", "a.ini(12): Default must be yes or no",
            "a.ini(6): [Attorney A] Ecf2District (not given): an electronic filing login needs its "
            "judicial district",
            "a.ini(14): [Attorney B] Zipcode (not given): A value is required for the Zipcode field on "
            "the Attorney Information form",
            "a.ini(15): Name holds a character that Tallymar cannot store (it keeps the attorneys in "
            "the Windows code page 1252) or a control character"));
}

TEST(AnswerFile, TakesOnlyPasswordsFromStandardInput) {
    AnswerFile file;
    ASSERT_TRUE(file.Read("[Install]\nFirmName=F\nStaffPassword=\n[Attorney Jane]\nName=Jane\n", "a.ini"));
    EXPECT_FALSE(file.HoldsPassword()) << "an empty password is none";
    EXPECT_FALSE(
        file.ReadPasswords("MasterPassword=secret\nFirmName=G\n[Attorney Jane]\nEcf1Password=e\n"
                           "[Attorney Joe]\nPassword=p\n[Install]\nStaffPassword=s\nAttorneyPassword=a\n",
                           "standard input"));
    EXPECT_THAT(file.Errors(),
                ElementsAre("standard input(2): FirmName is not a password; only passwords may be given here",
                            "standard input(5): [Attorney Joe] is not a section of the answer file",
                            "standard input(8): StaffPassword is given twice (first in a.ini(3))"));
    const AnswerSection* install = file.Find(AnswerSection::Kind::Install);
    EXPECT_EQ(install->Find("MasterPassword")->value, "secret") << "before any header: [Install]";
    EXPECT_EQ(install->Find("AttorneyPassword")->Where(), "standard input(9): AttorneyPassword");
    EXPECT_EQ(file.Attorneys()[0]->Find("Ecf1Password")->value, "e");
    EXPECT_FALSE(file.HoldsPassword()) << "passwords apart from the file do not make the file secret";
    AnswerFile secret;
    secret.Read("[Attorney Jane]\nEcf3Password=x\n", "b.ini");
    EXPECT_TRUE(secret.HoldsPassword());
}

TEST(AnswerFile, ConvertsAttorneyTextToTheProductsCodePage) {
    EXPECT_EQ(Utf8ToAnsi("Jos\xC3\xA9 \xE2\x82\xAC 5"), "Jos\xE9 \x80 5");
    EXPECT_EQ(Utf8ToAnsi("\xE2\x80\x9Cquoted\xE2\x80\x9D"), "\x93quoted\x94");
    EXPECT_FALSE(Utf8ToAnsi("snow \xE2\x98\x83"));
    EXPECT_FALSE(Utf8ToAnsi("tab\there"));
    EXPECT_FALSE(Utf8ToAnsi("\xC3"));     // cut short
    EXPECT_FALSE(Utf8ToAnsi("\xC0\xA9")); // overlong
}

TEST(MessageReplies, MatchesTextsWithStarsAndGivesSafeDefaults) {
    EXPECT_TRUE(
        MatchesPattern("'*' does not exist. Do you want*?", "'C:\\A' does not exist. Do you want it?"));
    EXPECT_TRUE(MatchesPattern("*exist*", "DOES NOT EXIST"));
    EXPECT_TRUE(MatchesPattern("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(
        MatchesPattern("'*' does not exist. Do you want the setup program to create it?",
                       "'C:\\A' does not exist. Do you want the setup program to create it, share it?"));
    EXPECT_FALSE(MatchesPattern("abc", "abcd"));
    EXPECT_TRUE(MatchesPattern("", ""));
    EXPECT_EQ(SafeDefaultButton(0x00), 1); // OK
    EXPECT_EQ(SafeDefaultButton(0x04), 7); // Yes/No: No
    EXPECT_EQ(SafeDefaultButton(0x03), 2); // Yes/No/Cancel: Cancel
    EXPECT_EQ(SafeDefaultButton(0x02), 3); // Abort/Retry/Ignore: Abort
    EXPECT_THAT(ButtonsOf(0x05 | 0x30), ElementsAre(4, 2));
}

TEST(CommandLine, KeepsTheWizardWithoutArgumentsAndRefusesAnythingUnknown) {
    using Action = CommandLine::Action;
    EXPECT_EQ(ParseCommandLine({}).action, Action::RunWizard);
    const CommandLine unattended = ParseCommandLine({"--password-stdin", "--answers", "a.ini"});
    EXPECT_EQ(unattended.action, Action::RunUnattended);
    EXPECT_EQ(unattended.answerFile, "a.ini");
    EXPECT_TRUE(unattended.passwordStdin);
    EXPECT_EQ(ParseCommandLine({"--answers=b.ini"}).answerFile, "b.ini");
    EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::ShowHelp);
    EXPECT_EQ(ParseCommandLine({"--version"}).action, Action::ShowVersion);
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--answers"}, "--answers needs the name of the answer file"},
        {{"--answers="}, "--answers needs the name of the answer file"},
        {{"--answers", "a", "--answers", "b"}, "--answers is given twice"},
        {{"--password-stdin"}, "--password-stdin needs --answers"},
        {{"--help", "--version"}, "--help takes no other argument"},
        {{"a.ini"}, "unknown argument 'a.ini'"},
    };
    for (const auto& [arguments, error] : refused) {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_EQ(line.action, Action::Refused) << error;
        EXPECT_EQ(line.error, error);
    }
}
