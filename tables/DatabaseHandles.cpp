#include "tables/DatabaseHandles.h"

#include "db/CDBException.h"
#include "db/SqlText.h"
#include "platform/RunState.h"

namespace {

struct DatabaseRunState {
    CDatabase mainDb;
    CDatabase placesDb;
    CDatabase creditorDb;
    bool placesDbOpen = false;
    bool creditorDbOpen = false;
};

DatabaseRunState& Part() {
    return tl::RunState::Part<DatabaseRunState>();
}

void OpenFlagged(CDatabase& db, bool& opened, const std::string& folder, const char* baseName) {
    opened = false;
    try {
        db.OpenEx(FormatConnectString(folder, baseName));
        opened = true;
    } catch (const CDBException&) {
    }
}

} // namespace

CDatabase& theMainDb = Part().mainDb;
CDatabase& thePlacesDb = Part().placesDb;
CDatabase& theCreditorDb = Part().creditorDb;
bool& thePlacesDbOpen = Part().placesDbOpen;
bool& theCreditorDbOpen = Part().creditorDbOpen;

void OpenPlacesDb(const std::string& folder) {
    OpenFlagged(thePlacesDb, thePlacesDbOpen, folder, "tallymarplaces");
}

void OpenCreditorDb(const std::string& folder) {
    OpenFlagged(theCreditorDb, theCreditorDbOpen, folder, "CreditorNames");
}

void CloseDatabases() {
    if (thePlacesDbOpen)
        thePlacesDb.Close();
    if (theCreditorDbOpen)
        theCreditorDb.Close();
    thePlacesDbOpen = theCreditorDbOpen = false;
    theMainDb.Close();
}
