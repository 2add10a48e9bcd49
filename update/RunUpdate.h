#pragma once

/// The update of an existing installation, the mode of a user whose settings name a home
/// directory. Refuses while the product runs (the user is told; nothing is logged). Otherwise logs
/// the run, finishes or undoes an update that a crash interrupted (update/RecoverInterruptedUpdate.h),
/// opens the main database in the home directory, fetches the manifest and checks the
/// shared files, then runs the update wizard on a sheet that holds the installed InstallDirectory
/// and InstallType (empty and -1 when the settings lack them, so the wizard asks). The wizard
/// leaves the answers in the sheet and theUpdateList built from the manifest, as its list page
/// does each time it is shown. After Finish, ApplyUpdate does the work behind the progress window
/// and the outcome is logged ("Update complete - success", told to the user, or "Update complete -
/// failure"). Takes one ignored integer. Returns 1 when the wizard was finished, whatever became of
/// the update; 0 when the update did not run (the main database did not open, the manifest could
/// not be had: both logged) or was cancelled (the settings are then untouched).
int RunUpdate(int unused);
