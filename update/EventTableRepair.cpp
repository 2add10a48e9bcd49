#include "update/EventTableRepair.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "db/CDBException.h"
#include "db/CDatabase.h"
#include "platform/WinTypes.h"
#include "tables/CEventRecord.h"
#include "tables/DatabaseHandles.h"
#include "update/DatabaseLadder.h"
#include "update/ReportErrorAt.h"

#include <sqlite3.h>
#include <uuid/uuid.h>

namespace {

constexpr std::size_t kMaxErrorText = 512;
constexpr char kSourceName[] = "UpdateWizard";

} // namespace

bool ShowsBrokenDefinition(const CDBException& failure) {
    switch (failure.ReturnCode() & 0xFF) {
    case SQLITE_ERROR:      // no such table, no such column, a statement the table cannot take
    case SQLITE_CONSTRAINT: // a column the probe row does not fill, a limit it breaks
    case SQLITE_MISMATCH:
        return true;
    default: // busy, locked, read-only, I/O, full, corrupt: the table may be perfectly sound
        return false;
    }
}

EventProbe ProbeEventTable(CDatabase& db, std::string* error) {
    try {
        CTransaction probe(db); // never committed: the probe row goes with the rollback
        db.ExecuteSQL(kEventProbeInsert);
        db.ExecuteSQL(kEventProbeDelete);
        return EventProbe::Sound;
    } catch (const CDBException& e) {
        if (ShowsBrokenDefinition(e))
            return EventProbe::Broken;
        *error = e.GetErrorMessage(kMaxErrorText);
    } catch (const std::exception& e) {
        *error = std::string(e.what()).substr(0, kMaxErrorText);
    }
    return EventProbe::Failed;
}

bool RepairEventTable(CSetupSheet& sheet) {
    CDatabase& db = theMainDb;
    std::string error;
    switch (ProbeEventTable(db, &error)) {
    case EventProbe::Sound:
        return true;
    case EventProbe::Failed:
        sheet.Log("**** Error probing EventTable - %s", error.c_str());
        return false;
    case EventProbe::Broken:
        break;
    }
    TheUserInterface().SetProgressText("Repairing Event Table");
    try {
        CTransaction rebuild(db);
        db.ExecuteSQL(kEventTableDrop);
        db.ExecuteSQL(kEventTableCreate);
        rebuild.Commit();
        sheet.Log("Setup rebuilt the EventTable");
        return true;
    } catch (const std::exception& e) {
        error = std::string(e.what()).substr(0, kMaxErrorText);
    }
    // The transaction is rolled back by now, so other workstations are not held up by the box.
    ReportErrorAt(error, win::MB_ICONINFORMATION, kSourceName, __LINE__);
    sheet.Log("**** Error trying to rebuild EventTable - %s", error.c_str());
    return false;
}

std::string NewGuidText() {
    uuid_t uuid;
    uuid_generate(uuid);
    char text[37];
    uuid_unparse_lower(uuid, text);
    return text;
}

void AssignEventGuids(CDatabase& db) {
    TheUserInterface().SetProgressText("Preparing calendar events for synchronization feature");
    CEventRecord events(&db);
    try {
        events.Open(CRecordset::snapshot, "SELECT * FROM EventTable");
    } catch (const CDBException&) {
        return;
    }
    while (!events.IsEOF()) {
        if (!events.IsDeleted()) {
            events.Edit();
            events.Guid = NewGuidText();
            events.Update();
        }
        events.MoveNext();
    }
    events.Close();
}
