#pragma once

class CSetupSheet;

/// The update's work after Finish, behind the progress window: writes InstallDirectory,
/// InstallType and States under the per-user settings (and, only into a machine-wide settings key
/// it creates, the shadow copy); installs, replaces and deletes the files of theUpdateList as one
/// staged update (update/StagedUpdate.h: shared files only when the box of the shared-updates
/// page was ticked; the ECF monitor is stopped before its program is touched; "tlmscanx.ini" is
/// followed by the scanner registration), so that the installation holds all the old files or all
/// the new ones; renews the program links when the starter TlSplash.exe arrived; upgrades the
/// databases and, when that worked, imports the reference data; records the files in the installed
/// uninstall manifest. An update whose files could not all be staged or committed changes no file
/// and upgrades and imports nothing (the next run does it all); no other failure stops the later
/// steps. theMainDb must be open; it is closed, with the lookup databases, before the end. Returns
/// 1 when the files are in place, the database upgrade and the import succeeded and no shared file
/// was left out, else 0 (with shared files left out the user is told to finish on the server).
int ApplyUpdate(CSetupSheet& sheet);
