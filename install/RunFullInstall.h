#pragma once

/// The first installation: wizard, home directory, databases, product files, shortcuts, reference
/// data, attorneys and the uninstall manifest. Takes one ignored integer; returns true on success.
int RunFullInstall(int unused);
