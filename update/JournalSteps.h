#pragma once

#include "update/UpdateJournal.h"

#include <cstddef>

class CSetupSheet;

// The steps of an update's journal as they act on the files: each is one rename on one file
// system, done forwards by the commit and backwards by an undo.

/// Does a step: renames its from to its to, asking the write-fault seam (IoStep::Rename, for the
/// step's to) first. Returns 0 or an errno value; the files are then as they were.
int RunJournalStep(const JournalStep& step);

/// Whether the files show a step as done: its to exists (for an install, with the staged file
/// gone from a staging folder that is still there).
bool IsJournalStepDone(const JournalStep& step);

/// Puts back, the last first, every one of the first possiblyDone steps that the files show as
/// done, stopping the ECF monitor first when its program is among them; then flushes the folders
/// and records the journal as undone. Idempotent: an undo that a crash interrupts is simply done
/// again. False, with a "****" line logged, when a file cannot be put back: the journal then
/// stays for the next run.
bool UndoJournalSteps(CSetupSheet& sheet, const UpdateJournal& journal, std::size_t possiblyDone);

/// Flushes every folder that the journal's steps touch. Returns 0 or an errno value.
int SyncJournalFolders(const UpdateJournal& journal);

/// Removes the journal's staging folders with all in them (staged files, backups, temporary
/// files), asking the write-fault seam (IoStep::Remove) before each. Returns 0 or an errno value.
int RemoveStagingFolders(const UpdateJournal& journal);
