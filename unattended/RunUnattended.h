#pragma once

#include "app/CSetupApp.h"
#include "unattended/CommandLine.h"

#include <cstdio>

/// tlinstall's unattended mode: reads the answer file (and, with --password-stdin, the passwords
/// from in), checks it, and runs the start-up routine, which chooses the first installation or
/// the update from the settings, with the answer-file user interface writing to err. Nothing runs
/// when the file cannot be read, has errors, or holds a password while others may read it.
/// Returns the exit status (unattended/ExitCodes.h).
int RunUnattended(const CommandLine& commandLine, CSetupApp::ModeEntry runFullInstall,
                  CSetupApp::ModeEntry runUpdate, std::FILE* in, std::FILE* err);
