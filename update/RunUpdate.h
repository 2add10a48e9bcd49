#pragma once

/// The update of an existing installation. Takes one ignored integer; returns 1 when the wizard
/// was finished, 0 when the update did not run or was abandoned.
int RunUpdate(int unused);
