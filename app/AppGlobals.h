#pragma once

#include <string>

/// Base URL of the vendor's file server, ending in "/". Set at start-up (InitFileServerUrl) and
/// read by the manifest fetch and the downloads. Part of the process's run state
/// (platform/RunState.h), like the next one.
extern std::string& theFileServerUrl;

/// Copy of the chosen installation directory, set after Finish.
extern std::string& theInstallDirectory;

/// Sets theFileServerUrl from the environment variable TALLYMAR_FILE_SERVER, or the build's
/// default, adding the trailing "/" when missing.
void InitFileServerUrl();
