// The channel against the stand-in proxy: the request byte for byte, every kind of response item,
// broken and malformed responses, and the two launch failures.
#include "import/CImportProxy.h"

#include "platform/Archive.h"
#include "platform/CFileException.h"
#include "tests/import/ImportTestSupport.h"

#include <array>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>

using tltest::Wire;
using Records = ImportRecords;

namespace {

class ImportChannel : public tltest::ImportTest {
protected:
    static constexpr std::array<std::string_view, 2> kColumns = {"Name", "City"};

    Records Query(const std::string& response) {
        UseStandIn(response);
        CImportProxy proxy;
        Records records;
        EXPECT_TRUE(proxy.QueryFile("C:\\Data\\x.ini", kColumns, records));
        EXPECT_EQ(PipesLeft(), 0u);
        return records;
    }
    // The exception a response raises, as its message; empty when none is raised.
    std::string Failure(const std::string& response, Records* records = nullptr) {
        UseStandIn(response);
        CImportProxy proxy;
        Records received;
        try {
            proxy.QueryFile("C:\\Data\\x.ini", kColumns, received);
        } catch (const CException& e) {
            EXPECT_EQ(PipesLeft(), 0u);
            if (records != nullptr)
                *records = received;
            return e.GetErrorMessage();
        }
        return {};
    }
};

Wire Begin() {
    return std::move(Wire().String("BR").Dword(0));
}

} // namespace

TEST_F(ImportChannel, SendsTheRequestByteForByte) {
    Query(Begin().String("ER").Bytes());
    EXPECT_EQ(StandInRequest(),
              Wire().Dword(2).String("Name").String("City").Dword(1).String("C:\\Data\\x.ini").Bytes());

    UseStandIn(Begin().String("ER").Bytes());
    CImportProxy proxy;
    Records records;
    EXPECT_TRUE(proxy.Query(kColumns, records));
    EXPECT_EQ(StandInRequest(), Wire().Dword(2).String("Name").String("City").Dword(0).Bytes());
    EXPECT_EQ(proxy.PipeName().size(), 9u + 36u);
    EXPECT_TRUE(proxy.PipeName().starts_with("\\\\.\\pipe\\"));
}

TEST_F(ImportChannel, AResponseWithoutRecordsSucceedsEmpty) {
    EXPECT_TRUE(Query(Begin().String("ER").Bytes()).empty());
}

TEST_F(ImportChannel, FieldsArriveInOrderAndShortRecordsStayShort) {
    const Records records =
        Query(Begin().Record({"Macy's", "Mason"}).Record({"Sears"}).Record({}).String("ER").Bytes());
    EXPECT_EQ(records, (Records{{"Macy's", "Mason"}, {"Sears"}, {}}));
}

TEST_F(ImportChannel, ValuesOf255And65534CharactersComeThroughWhole) {
    const std::string v255(255, 'a');
    const std::string v65534 = std::string(65533, 'b') + "'";
    const std::string v70000(70000, 'c');
    EXPECT_EQ(Query(Begin().Record({v255, v65534}).Record({v70000, ""}).String("ER").Bytes()),
              (Records{{v255, v65534}, {v70000, ""}}));
}

TEST_F(ImportChannel, ASinkTakesEachRecordAsItEndsAndWhatItThrowsEndsTheExchange) {
    UseStandIn(Begin()
                   .Record({"Macy's", "Mason"})
                   .Record({"Sears"})
                   .Record({})
                   .Record({"a", "b"})
                   .String("ER")
                   .Bytes());
    Records seen;
    CImportProxy proxy;
    EXPECT_TRUE(proxy.QueryFile("C:\\Data\\x.ini", kColumns, [&seen](ImportRecord& record) {
        seen.push_back(record);
        // A sink may change the record; the next one is not affected.
        if (!record.empty())
            record[0] += " (taken)";
    }));
    EXPECT_EQ(seen, (Records{{"Macy's", "Mason"}, {"Sears"}, {}, {"a", "b"}}));

    UseStandIn(Begin().Record({"one"}).Record({"two"}).Record({"three"}).String("ER").Bytes());
    seen.clear();
    const auto stopAtTwo = [&seen](ImportRecord& record) {
        if (record[0] == "two")
            throw std::runtime_error("the caller gave up");
        seen.push_back(std::move(record));
    };
    EXPECT_THROW(proxy.QueryFile("C:\\Data\\x.ini", kColumns, stopAtTwo), std::runtime_error);
    EXPECT_EQ(seen, (Records{{"one"}}));
    EXPECT_EQ(PipesLeft(), 0u);
}

TEST_F(ImportChannel, UnknownTagsAreSkippedWhereverATagIsExpected) {
    const std::string response = Wire()
                                     .String("HELLO")
                                     .String("BR")
                                     .Dword(7)
                                     .String("")
                                     .String("BRR")
                                     .Dword(0)
                                     .String("XX")
                                     .String("RF")
                                     .Dword(0)
                                     .String("Name")
                                     .String("Macy's")
                                     .String(std::string(300, 'Z'))
                                     .String("ERR")
                                     .String("br")
                                     .String("ER")
                                     .String("ignored after the end")
                                     .Bytes();
    EXPECT_EQ(Query(response), (Records{{"Macy's"}}));
}

TEST_F(ImportChannel, TextAfterTheEqualsSignOfAFieldNameGoesToTheExtras) {
    UseStandIn(Begin()
                   .String("BRR")
                   .Dword(0)
                   .String("RF")
                   .Dword(1)
                   .String("City=Town=Village")
                   .String("Mason")
                   .String("RF")
                   .Dword(0)
                   .String("Name")
                   .String("Macy's")
                   .String("ERR")
                   .String("ER")
                   .Bytes());
    CImportProxy proxy;
    Records records;
    std::vector<std::string> extras;
    ASSERT_TRUE(proxy.QueryFile("C:\\Data\\x.ini", kColumns, records, &extras));
    EXPECT_EQ(records, (Records{{"Mason", "Macy's"}})); // by arrival, not by index
    EXPECT_EQ(extras, (std::vector<std::string>{"", "Town=Village"}));
}

TEST_F(ImportChannel, AFieldOrRecordEndOutsideARecordIsAnError) {
    EXPECT_EQ(Failure(Begin().String("RF").Dword(0).String("Name").String("x").String("ER").Bytes()),
              "The import proxy sent a field outside a record.");
    EXPECT_EQ(Failure(Begin().Record({"a"}).String("ERR").String("ER").Bytes()),
              "The import proxy sent a record end outside a record.");
}

TEST_F(ImportChannel, AnExtraAtAnIndexBeyondTheColumnsIsAnError) {
    UseStandIn(Begin()
                   .String("BRR")
                   .Dword(0)
                   .String("RF")
                   .Dword(5)
                   .String("X=y")
                   .String("v")
                   .String("ERR")
                   .String("ER")
                   .Bytes());
    CImportProxy proxy;
    Records records;
    std::vector<std::string> extras;
    EXPECT_THROW(proxy.QueryFile("C:\\Data\\x.ini", kColumns, records, &extras), CArchiveException);
}

TEST_F(ImportChannel, AResponseThatBreaksOffThrowsAndKeepsOnlyEndedRecords) {
    Records records;
    const std::string broken =
        Begin().Record({"one", "1"}).String("BRR").Dword(0).String("RF").Dword(0).Bytes();
    EXPECT_EQ(Failure(broken, &records), "An attempt was made to access an unnamed file past its end.");
    EXPECT_EQ(records, (Records{{"one", "1"}}));
    // A proxy that ends without answering at all.
    EXPECT_EQ(Failure(""), "An attempt was made to access an unnamed file past its end.");
}

TEST_F(ImportChannel, AProxyThatCannotBeStartedIsReportedAs1) {
    std::filesystem::remove(Host(std::string(kInstall) + "\\TLMFIMPRT.EXE"));
    CImportProxy proxy;
    Records records;
    EXPECT_FALSE(proxy.QueryFile("C:\\Data\\x.ini", kColumns, records));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Tallymar was unable to launch the import proxy TLMFIMPRT.EXE [1]");
    EXPECT_EQ(ui.Messages()[0].caption, "Tallymar Setup");
    EXPECT_EQ(ui.Messages()[0].style, win::MB_ICONERROR);
    EXPECT_EQ(PipesLeft(), 0u);
}

TEST_F(ImportChannel, AProxyThatNeverSignalsIsReportedAs2AfterOneSecond) {
    UseStandIn("", "silent");
    CImportProxy proxy;
    Records records;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(proxy.QueryFile("C:\\Data\\x.ini", kColumns, records));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(1000));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{
                                     "Tallymar was unable to launch the import proxy TLMFIMPRT.EXE [2]\n"}));
    EXPECT_EQ(PipesLeft(), 0u);
}

TEST_F(ImportChannel, AProxyThatSignalsWithoutOpeningThePipeFailsTheExchange) {
    UseStandIn("", "no-pipe");
    CImportProxy proxy;
    Records records;
    try {
        proxy.QueryFile("C:\\Data\\x.ini", kColumns, records);
        ADD_FAILURE() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.OsError(), 536u);
    }
    EXPECT_TRUE(ui.Messages().empty());
}
