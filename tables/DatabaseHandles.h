#pragma once

#include "db/CDatabase.h"

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
