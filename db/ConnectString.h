#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tl {

/// The attributes of an ODBC connection string ("ODBC;DBQ=...;Driver={...};UID=admin"), keyed by
/// upper-case name. Values in braces keep their semicolons; the braces are removed. The leading
/// "ODBC;" is optional. Attributes without "=" are ignored.
std::map<std::string, std::string> ParseConnectString(std::string_view connect);

} // namespace tl
