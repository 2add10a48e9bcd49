#pragma once

#include <string>

class CSetupSheet;

/// Name of the folder proposed for the shared files, and of the file that marks a home directory
/// on another computer.
inline constexpr char kDefaultShareName[] = "BankruptcyCases";
/// Name of the network user proposed for the home directory.
inline constexpr char kDefaultNetworkUserName[] = "TallymarUser";
inline constexpr char kMainDatabaseFile[] = "Tallymar.mdb";

/// The local proposal for the home directory: the all-users documents folder followed by
/// "\BankruptcyCases", or, when that folder's path contains a space (a home directory must not),
/// its drive followed by "\BankruptcyCases". Empty when the machine has no all-users documents.
std::string DefaultLocalHomeDirectory();

/// Proposes the home directory for the install type the sheet's choices give. Shared files here
/// (choice 1002 not set): sharedFilesHere becomes true and path the local proposal (left as it
/// was when there is none). Shared files elsewhere: sharedFilesHere becomes false and, behind the
/// wait cursor and the progress window, the computers of the workgroup are searched in enumeration
/// order for a disk share holding "Tallymar.mdb"; the first found becomes path as "\\COMPUTER\SHARE".
/// Computers and shares that cannot be read are passed over; when nothing is found, path is left
/// as it was.
void FindMasterComputer(const CSetupSheet& sheet, std::string& path, bool& sharedFilesHere);
