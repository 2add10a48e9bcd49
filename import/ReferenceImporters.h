#pragma once

#include <string>

// The importers of the reference tables. Each asks the import proxy for one file's records (its
// full local path) and returns false only when that request fails; a response that breaks off
// throws as CImportProxy::QueryFile does, and nothing of the file stays written.

/// Adds the file's creditors to CreditorTable (theCreditorDb) in one transaction, skipping names
/// already present (also earlier in the same file). A failure rolls the whole file back and is
/// shown as "CreditorImport[<line>] - <message>"; the result is then still true.
bool ImportCreditors(const std::string& path);

/// Adds the file's trustees to TrusteeTable (theMainDb) in one transaction, as ImportCreditors
/// ("TrusteeImport[<line>] - <message>"). Ch13 must be a whole number; any other value, the blank
/// of an absent one included, fails the file.
bool ImportTrustees(const std::string& path);

/// Adds the file's chapter 13 provisions (Chap13Provisions) and their district links
/// (Chap13ProvisionsByState) on theMainDb, each statement in its own transaction; a statement that
/// fails is rolled back silently and the import goes on. A Type that is no whole number fails the
/// link only.
bool ImportChap13Provisions(const std::string& path);

/// Adds the file's plan texts to Chap13PlanText on theMainDb, each in its own transaction, as
/// ImportChap13Provisions.
bool ImportChap13PlanText(const std::string& path);
