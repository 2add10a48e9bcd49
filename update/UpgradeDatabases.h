#pragma once

class CSetupSheet;

/// Brings the shared databases from the installed level (Settings DatabaseLevel, 0 when absent) up
/// to the manifest's DatabaseLevel by running the rungs of kDatabaseLadder whose conditions hold:
/// the main database's when the installed level is below the target, then the creditor and places
/// rungs whenever the shared files are on this computer (installType not 2; the creditor rungs
/// also need theCreditorDb open). theMainDb must be open. Each rung is one transaction; a failing
/// rung is rolled back and logged (some also show a box) and the ladder goes on. Settings
/// UpdateLevel (the sheet's updateLevel) and DatabaseLevel (the target) are written at the end
/// whatever happened. The places rung replaces the places database: thePlacesDb is closed before
/// and opened again on the new file, thePlacesDbOpen saying whether that worked. Returns 1, or 0
/// when the EventTable could not be probed or rebuilt.
int UpgradeDatabases(CSetupSheet& sheet);

/// The level the release expects: the manifest's DatabaseLevel (0 without a manifest).
int TargetDatabaseLevel(const CSetupSheet& sheet);
