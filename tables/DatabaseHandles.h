#pragma once

#include "db/CDatabase.h"

#include <string>

/// The process-wide connections: the main database, the places database and the creditor names
/// database. The install and update sequences open and close them; recordsets, lookups and
/// importers use them. The places and creditor connections have a flag that says whether their
/// open succeeded; only flagged connections are closed at the end. Part of the process's run
/// state (platform/RunState.h).
extern CDatabase& theMainDb;
extern CDatabase& thePlacesDb;
extern CDatabase& theCreditorDb;
extern bool& thePlacesDbOpen;
extern bool& theCreditorDbOpen;

/// Opens the places connection (base name "tallymarplaces") in the folder and sets its flag to
/// whether that worked. A database that does not open is not reported: the flag tells the run.
void OpenPlacesDb(const std::string& folder);

/// The same for the creditor names connection (base name "CreditorNames").
void OpenCreditorDb(const std::string& folder);

/// Closes the places and creditor names connections that opened (clearing their flags), then the
/// main connection.
void CloseDatabases();
