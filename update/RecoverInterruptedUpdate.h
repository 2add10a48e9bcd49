#pragma once

class CSetupSheet;

/// Finishes or undoes an update whose file work a crash interrupted, before anything else of the
/// run: with the journal of update/UpdateJournal.h in the machine prefix,
/// - a commit whose every step is done ("done all") loses its backups and staging folders:
///   "**** Completing an interrupted update";
/// - anything else (a stage, a commit part of the way, an undo part of the way) has every file
///   that the commit moved put back and its staging folders removed: "**** Undoing an interrupted
///   update". The installation then holds the old files, which this run updates again.
/// The journal goes last. A journal that cannot be read, or that another setup holds, is logged
/// and left alone; a file that cannot be put back is logged and the journal stays for the next
/// run. Without a journal nothing happens and nothing is logged.
void RecoverInterruptedUpdate(CSetupSheet& sheet);
