#pragma once

#include <string>

class CDatabase;
class CDBException;
class CSetupSheet;

/// What the EventTable probe found.
enum class EventProbe {
    Sound,  ///< a row could be written and deleted
    Broken, ///< the engine refused the table's definition: missing, or columns that do not fit
    Failed, ///< the database could not be used (busy, locked, an I/O error): the table is unknown
};

/// Writes and deletes a probe row in one transaction that is always rolled back, so the row never
/// stays. Only a failure that shows the table itself is wrong counts as Broken; any other gives
/// Failed with the database's text in *error.
EventProbe ProbeEventTable(CDatabase& db, std::string* error);

/// True when a failure says that a table's definition is wrong (no such table or column, a type or
/// constraint the statement does not fit), not that the database was unavailable.
bool ShowsBrokenDefinition(const CDBException& failure);

/// The ladder's first rung on theMainDb: probes EventTable and rebuilds it, empty, when it is
/// broken ("Setup rebuilt the EventTable"). False when the rebuild failed (shown with its source
/// location and logged "**** Error trying to rebuild EventTable - <text>") or when the probe could
/// not use the database (logged "**** Error probing EventTable - <text>"; the table is left as it
/// is, since another workstation may only be holding the shared file).
bool RepairEventTable(CSetupSheet& sheet);

/// Gives every event of EventTable a fresh GUID in its text form, inside the caller's transaction.
/// When the events cannot be read, none gets one and nothing is thrown; a failure while writing
/// one throws CDBException.
void AssignEventGuids(CDatabase& db);

/// A new UUID in its 36-character text form: lower-case hexadecimal digits in groups of 8, 4, 4, 4
/// and 12 joined by hyphens, no braces.
std::string NewGuidText();
