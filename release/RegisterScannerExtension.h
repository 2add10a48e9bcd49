#pragma once

class CSetupSheet;

/// Registers the product with the scanner software once "tlmscanx.ini" is in place: the key
/// HKEY_LOCAL_MACHINE "Software\PFU\ScanSnap Extension\TallymarConnection" gets the product's
/// program (install directory + "\Tallymar.exe") as its default value, "Config" (the local
/// application data folder + "tlmscanx.ini") and "Path" (the temporary folder without its trailing
/// backslash). A key that cannot be created shows "Unable to open or create ScanSnap registry key";
/// each value that cannot be set shows "Error setting ScanSnap parameters" and the others are still
/// written (error icon). Used by the first installation and by the update.
void RegisterScannerExtension(CSetupSheet& sheet);

/// The scanner software's key for the product, below HKEY_LOCAL_MACHINE.
inline constexpr char kScannerExtensionKey[] = "Software\\PFU\\ScanSnap Extension\\TallymarConnection";
