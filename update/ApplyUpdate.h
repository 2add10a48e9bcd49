#pragma once

class CSetupSheet;

/// The update's work after Finish, behind the progress window: writes InstallDirectory,
/// InstallType and States under the per-user settings (and, only into a machine-wide settings key
/// it creates, the shadow copy); installs, replaces and deletes the files of theUpdateList (shared
/// files only when the box of the shared-updates page was ticked; the ECF monitor is stopped before
/// its program is touched; "tlmscanx.ini" is followed by the scanner registration); renews the
/// program links when the starter TlSplash.exe arrived; upgrades the databases and, when that
/// worked, imports the reference data; records the files in the installed uninstall manifest. No
/// failure stops the later steps. theMainDb must be open; it is closed, with the lookup databases,
/// before the end. Returns 1 when the database upgrade and the import succeeded and no shared file
/// was left out, else 0 (with shared files left out the user is told to finish on the server).
int ApplyUpdate(CSetupSheet& sheet);
