#pragma once

#include "platform/WinTypes.h"

#include <string_view>

// What the setup program and the import proxy (TLMFIMPRT.EXE) agree on. The setup program
// creates a pipe, starts the proxy from the install directory with the pipe's name as its only
// argument and waits for the ready event. The proxy opens the pipe, signals the event, reads one
// request and writes one response, both in the archive encoding (platform/Archive.h):
//
//   request:  DWORD n, n strings (the columns wanted, in the order the values are to come back),
//             DWORD kind (kRequestFile or kRequestDefaultSource), for kRequestFile the string
//             with the full local path of the file to read.
//   response: items, each a tag string and its values:
//             "BR"  DWORD (not used)       the response begins
//             "BRR" DWORD (not used)       a record begins
//             "RF"  DWORD index, string name, string value
//                                          one field of the current record; values come in the
//                                          order of the requested columns
//             "ERR"                        the record ends
//             "ER"                         the response ends; the exchange succeeded
//             A reader skips any other tag.
namespace importproxy {

inline constexpr char kProgramName[] = "TLMFIMPRT.EXE";
inline constexpr char kReadyEventName[] = "TLMFIMPRT";

inline constexpr DWORD kRequestDefaultSource = 0;
inline constexpr DWORD kRequestFile = 1;

inline constexpr std::string_view kTagBegin = "BR";
inline constexpr std::string_view kTagBeginRecord = "BRR";
inline constexpr std::string_view kTagField = "RF";
inline constexpr std::string_view kTagEndRecord = "ERR";
inline constexpr std::string_view kTagEnd = "ER";

} // namespace importproxy
