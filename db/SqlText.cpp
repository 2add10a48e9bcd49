#include "db/SqlText.h"

#include "platform/Format.h"

std::string SqlQuote(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size());
    for (const char c : text) {
        quoted.push_back(c);
        if (c == '\'')
            quoted.push_back('\'');
    }
    return quoted;
}

std::string FormatConnectString(std::string_view homeDirectory, std::string_view baseName) {
    const std::string home(homeDirectory);
    const std::string base(baseName);
    return tl::Format("ODBC;DBQ=%s\\%s.mdb;DefaultDir=%s;Driver={Microsoft Access Driver (*.mdb)};"
                      "DriverId=25;FIL=MS Access;FILEDSN=%s\\%s.dsn;MaxBufferSize=2048;MaxScanRows=8;"
                      "PageTimeout=5;SafeTransactions=0;Threads=3;UID=admin",
                      home.c_str(), base.c_str(), home.c_str(), home.c_str(), base.c_str());
}
