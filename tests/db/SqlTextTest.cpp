#include "db/SqlText.h"

#include <gtest/gtest.h>

TEST(SqlText, QuoteDoublesEverySingleQuote) {
    EXPECT_EQ(SqlQuote(""), "");
    EXPECT_EQ(SqlQuote("Smith Law"), "Smith Law");
    EXPECT_EQ(SqlQuote("O'Neil's"), "O''Neil''s");
    EXPECT_EQ(SqlQuote("''"), "''''");
    EXPECT_EQ(SqlQuote("x'; DROP TABLE UserName; --"), "x''; DROP TABLE UserName; --");
}

TEST(SqlText, ConnectStringNamesTheFileTwiceAndTheFolderTwice) {
    EXPECT_EQ(FormatConnectString("\\\\SERVER\\Tallymar", "tallymar"),
              "ODBC;DBQ=\\\\SERVER\\Tallymar\\tallymar.mdb;DefaultDir=\\\\SERVER\\Tallymar;"
              "Driver={Microsoft Access Driver (*.mdb)};DriverId=25;FIL=MS Access;"
              "FILEDSN=\\\\SERVER\\Tallymar\\tallymar.dsn;MaxBufferSize=2048;MaxScanRows=8;PageTimeout=5;"
              "SafeTransactions=0;Threads=3;UID=admin");
    // Percent signs in a folder name are text, not formats.
    EXPECT_NE(FormatConnectString("C:\\100%s", "x").find("DBQ=C:\\100%s\\x.mdb;"), std::string::npos);
}
