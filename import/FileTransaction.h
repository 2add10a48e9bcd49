#pragma once

#include "db/CDatabase.h"
#include "platform/CException.h"

#include <optional>
#include <string>

/// The one transaction in which the creditor and trustee importers store a file's records while
/// the import proxy still sends the rest. It begins with the first record stored. A failure undoes
/// the file at once and passes over the records after it, and is only reported by Commit, once
/// the whole response has arrived: a response that breaks off leaves nothing of the file and
/// shows nothing, as when no record had been stored before it ended. Rolls back when it goes away
/// uncommitted.
class FileTransaction {
public:
    explicit FileTransaction(CDatabase& db) : db_(db) {}
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;

    /// Runs store() in the transaction, beginning it first if need be; does nothing after a
    /// failure. A CException from beginning or from store is kept and the file rolled back.
    template <typename Store>
    void Run(Store&& store) {
        if (failure_)
            return;
        try {
            if (!transaction_)
                transaction_.emplace(db_);
            store();
        } catch (const CException& e) {
            Fail(e);
        }
    }

    /// Begins the transaction if no record did and commits it. The message of the failure (at most
    /// 511 characters, as a message box shows it), or nullopt when the file was stored.
    std::optional<std::string> Commit();

private:
    void Fail(const CException& e);

    CDatabase& db_;
    std::optional<CTransaction> transaction_;
    std::optional<std::string> failure_;
};
