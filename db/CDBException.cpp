#include "db/CDBException.h"

#include <sqlite3.h>

void ThrowDBException(sqlite3* db, int code) {
    const char* text = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw CDBException(code, text != nullptr ? text : "unknown database error");
}

void ThrowDBException(std::string message) {
    throw CDBException(SQLITE_ERROR, std::move(message));
}
