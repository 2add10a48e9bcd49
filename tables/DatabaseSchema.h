#pragma once

#include <array>

/// One statement of a database's schema and the install-log line written after it (none when the
/// line covers several statements and comes after the last of them).
struct SchemaStep {
    const char* statement;
    const char* logLine;
};

/// The main database's tables in the order of creation, from AttorneyTable to
/// Chap13ProvisionsByState, each statement in the Access dialect as it is executed.
extern const std::array<SchemaStep, 18> kMainDatabaseSchema;

/// The creditor names database's tables: CreditorTable, AlwaysNotice, AlsoNotice.
extern const std::array<SchemaStep, 3> kCreditorDatabaseSchema;
