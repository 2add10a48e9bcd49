#pragma once

#include "platform/CException.h"

#include <string>

struct sqlite3;

/// A failure of the database layer: the engine refused a statement, a file could not be opened,
/// a statement was not valid in the Access dialect. The message is the engine's own text.
class CDBException : public CException {
public:
    /// code is the SQLite result code (SQLITE_ERROR for failures found before the engine ran).
    CDBException(int code, std::string message) : CException(std::move(message)), code_(code) {}

    int ReturnCode() const { return code_; }

private:
    int code_;
};

/// Throws the connection's last error as a CDBException (code and sqlite3_errmsg text).
[[noreturn]] void ThrowDBException(sqlite3* db, int code);

/// Throws a CDBException with SQLITE_ERROR and the given text.
[[noreturn]] void ThrowDBException(std::string message);
