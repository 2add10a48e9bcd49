// The real import proxy program over the real channel: its file format, its default source, and
// files it cannot read.
#include "import/CImportProxy.h"
#include "platform/CException.h"
#include "platform/FileVersion.h"
#include "tests/import/ImportTestSupport.h"

#include <array>
#include <gtest/gtest.h>

using Records = ImportRecords;

namespace {

class ImportProxyProgram : public tltest::ImportTest {
protected:
    static constexpr std::array<std::string_view, 3> kColumns = {"Name", "Text", "Type"};

    Records Read(const std::string& text) {
        const std::string path = WriteDataFile("data.ini", text);
        CImportProxy proxy;
        Records records;
        EXPECT_TRUE(proxy.QueryFile(path, kColumns, records));
        return records;
    }
    // The failure's message, or empty when the file was read.
    std::string Refused(const std::string& path) {
        CImportProxy proxy;
        Records records;
        try {
            proxy.QueryFile(path, kColumns, records);
        } catch (const CException& e) {
            return e.GetErrorMessage();
        }
        return {};
    }
};

} // namespace

TEST_F(ImportProxyProgram, ReadsRecordsWithValuesInTheRequestedOrder) {
    EXPECT_EQ(Read("; reference data\n"
                   "[first]\n"
                   "type = 2\n"
                   "NAME=Macy's\n"
                   "Text = The debtor's plan:\\n  1. pays \"all\"\\n\\sdone\\s\n"
                   "Unasked=ignored\n"
                   "\n"
                   "# comment\r\n"
                   "[second]\r\n"
                   "Name=Sears \\\\ Roebuck\r\n"
                   "[empty section]\n"
                   "[third]\n"
                   "Text=\\t\n"),
              (Records{{"Macy's", "The debtor's plan:\n  1. pays \"all\"\n done ", "2"},
                       {"Sears \\ Roebuck", "", ""},
                       {"", "\t", ""}}));
}

TEST_F(ImportProxyProgram, AnEmptyFileAndAByteOrderMarkGiveWhatTheySay) {
    EXPECT_TRUE(Read("").empty());
    EXPECT_EQ(Read("\xEF\xBB\xBF[r]\nName=Bank\n"), (Records{{"Bank", "", ""}}));
}

TEST_F(ImportProxyProgram, LongValuesPassWhole) {
    const std::string text(70000, 'x');
    EXPECT_EQ(Read("[r]\nText=" + text + "\nName=" + std::string(255, 'n') + "\n"),
              (Records{{std::string(255, 'n'), text, ""}}));
}

TEST_F(ImportProxyProgram, AFileItCannotReadFailsTheExchange) {
    const char* kBrokenOff = "An attempt was made to access an unnamed file past its end.";
    EXPECT_EQ(Refused(std::string(kInstall) + "\\missing.ini"), kBrokenOff);
    EXPECT_EQ(Refused("Q:\\nowhere.ini"), kBrokenOff);
    for (const char* broken : {"Name=before any section\n", "[r]\nName=a\nname=b\n", "[r]\nText=C:\\Data\n",
                               "[r]\njust words\n", "[r\nName=a\n"}) {
        EXPECT_EQ(Refused(WriteDataFile("broken.ini", broken)), kBrokenOff) << broken;
    }
    EXPECT_EQ(PipesLeft(), 0u);
}

TEST_F(ImportProxyProgram, RecordsBeforeAFaultInTheFileAreSentButTheExchangeFails) {
    const std::string path = WriteDataFile("late.ini", "[a]\nName=one\n[b]\nName=two\n[c]\nbad line\n");
    CImportProxy proxy;
    Records records;
    EXPECT_THROW(proxy.QueryFile(path, kColumns, records), CException);
    EXPECT_EQ(records.size(), 2u);
}

TEST_F(ImportProxyProgram, TheDefaultSourceIsTheFileBesideTheProgram) {
    CImportProxy proxy;
    Records records;
    EXPECT_TRUE(proxy.Query(kColumns, records));
    EXPECT_TRUE(records.empty());

    WriteDataFile("TLMFIMPRT.INI", "[r]\nName=Default\n");
    EXPECT_TRUE(proxy.Query(kColumns, records));
    EXPECT_EQ(records, (Records{{"Default", "", ""}}));
}

TEST_F(ImportProxyProgram, CarriesItsFileVersion) {
    std::vector<std::uint8_t> block;
    ASSERT_TRUE(win::GetFileVersionInfo(std::string(kInstall) + "\\TLMFIMPRT.EXE", block));
    win::VS_FIXEDFILEINFO info{};
    ASSERT_TRUE(win::VerQueryValue(block, "\\", info));
    EXPECT_EQ(info.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(info.dwFileVersionLS, 0x00000001u);
}
