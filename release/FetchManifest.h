#pragma once

class CSetupSheet;

/// Fetches "CurrentVersion.xml" from the file server, checks its signature when a release key is
/// trusted (CheckManifestSignature), parses it and binds it into the sheet's manifestObjects;
/// copies the first manifest's UpdateLevel into the sheet's updateLevel. Entries whose Name is not
/// a plain file name are logged and left out. On failure logs and shows why ("Unable to retrieve
/// file manifest from file server", "The file server's manifest is not signed by a trusted key.
/// Setup cannot continue." or "Error in online file manifest - unable to continue") and returns
/// false.
bool FetchManifest(CSetupSheet& sheet);
