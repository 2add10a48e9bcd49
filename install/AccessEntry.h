#pragma once

#include <string>

/// The access entry that gives the network user full control over the home directory and
/// everything in it: "(A;OICI;GASDFA;;;<user's SID>)".
std::string NetworkUserAccessEntry(const std::string& userSid);

/// The DACL text with entry as its first access entry: after "D:" (appended when the text has
/// none) and the DACL's flags, before the first "(" that follows. A null DACL's
/// "NO_ACCESS_CONTROL" standing among the flags is removed, so that the list then holds the entry
/// alone. Existing entries and flags are kept.
std::string InsertAccessEntry(std::string daclText, const std::string& entry);
