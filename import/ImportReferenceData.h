#pragma once

class CSetupSheet;

/// Loads the reference data that came with the product into the open databases: each support
/// file of the manifest whose flags carry an import kind (1 checklists, 2 creditors, 3 trustees,
/// 4 chapter 13 provisions, 5 plan text) is read through the import proxy from its target folder,
/// in manifest order, skipping state modules of states not chosen. Nothing is imported when the
/// shared files are on another computer (install type 2). Every outcome is a log line; a file
/// whose import fails, however it fails, does not stop the others. Always returns true.
bool ImportReferenceData(CSetupSheet& sheet);
