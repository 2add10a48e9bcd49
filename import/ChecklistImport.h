#pragma once

#include "import/CChecklistCollection.h"
#include "import/CImportProxy.h"

#include <optional>
#include <string>

/// Asks the import proxy for a checklist file's items (the columns "ID", "after", "parent",
/// "text", "desc", "flags", "resides", "districts", "trigger", "triggername"), or for its default
/// source when no path is given, and pads every record to 10 fields. Returns the proxy's result;
/// a broken response throws as CImportProxy::QueryFile does.
bool ImportChecklistRecords(ImportRecords& records, const std::optional<std::string>& path);

/// Turns records into items of the collection: a record whose ID the collection has overwrites
/// that item, any other becomes a new item (dirty). A trigger the database does not know yet is
/// added with its name. Database failures of the trigger look-up throw CDBException.
void MergeChecklistRecords(const ImportRecords& records, CChecklistCollection& collection);

/// Writes every dirty item to CheckListTable (inserting it, or overwriting the row of its ID) and
/// deletes the rows of deleted items, each in its own transaction on theMainDb. A database
/// failure rolls that item back, shows its message (information icon) and ends the store.
void StoreChecklists(CChecklistCollection& collection);

/// The description of a trigger in CheckListTriggerTable; empty for the nil GUID or an unknown one.
/// Throws CDBException when the table cannot be read.
std::string LookupTriggerDescription(const GUID& trigger);

/// Adds a trigger with its name in its own transaction. A database failure is shown (information
/// icon) and the import goes on.
void InsertTrigger(const GUID& trigger, const std::string& name);
