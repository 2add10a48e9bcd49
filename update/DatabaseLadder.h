#pragma once

#include "tables/DatabaseSchema.h"

#include <array>
#include <span>

// The fixed ladder of schema changes that brings the shared databases from the level an
// installation records up to the level of the release. Each rung is data; UpgradeDatabases runs
// them in order.

/// The database a rung works on.
enum class LadderDatabase {
    Main,     ///< theMainDb, only when the installation is below the release's level
    Creditor, ///< theCreditorDb, only when the shared files are here and it opened
    Places,   ///< the places database file, only when the shared files are here
};

/// When a rung runs, judged by the installed level alone.
struct LevelCondition {
    enum class Test { Below, EqualTo };
    Test test;
    int level;

    bool Holds(int installedLevel) const {
        return test == Test::Below ? installedLevel < level : installedLevel == level;
    }
};

/// What a rung does.
enum class RungAction {
    Statements,       ///< the statements, in one transaction
    RepairEventTable, ///< the EventTable probe, and its rebuild when the table is broken
    AssignEventGuids, ///< the statements, then a GUID for every event, in the same transaction
    DownloadPlaces,   ///< a fresh places database from the file server
};

struct LadderRung {
    LevelCondition condition;
    LadderDatabase database;
    RungAction action;
    /// Run in order; a statement's log line, if any, is written right after it.
    std::span<const SchemaStep> statements;
    const char* successLine;  ///< logged after the commit
    const char* failureLine;  ///< logged after the rollback
    const char* messageBox;   ///< shown with the error icon after a failure; nullptr for none
    const char* progressText; ///< shown before the rung runs; nullptr leaves the text as it is
};

/// The rungs in the order they run: the main database's, then the creditor and places rungs.
extern const std::array<LadderRung, 17> kDatabaseLadder;

/// The EventTable probe's statements and the rebuilt table's definition.
extern const char kEventProbeInsert[];
extern const char kEventProbeDelete[];
extern const char kEventTableDrop[];
extern const char kEventTableCreate[];
