#pragma once

/// The first installation: fetches the manifest, runs the installation wizard and, after Finish,
/// sets up the home directory, network user, share, databases and settings, installs the product
/// files, shortcuts and uninstall registration, imports the reference data, opens the attorney
/// roster when asked and writes the uninstall manifest, behind the progress window. Every step is
/// logged. Takes one ignored integer. Returns true when the installation succeeded; false when the
/// manifest could not be had, the wizard was cancelled (nothing is changed then), a step failed
/// (the user has been told why) or product files could not be downloaded (the user is told to run
/// Setup again, which then updates the installation).
int RunFullInstall(int unused);
