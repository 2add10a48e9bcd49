#pragma once

#include <string>
#include <string_view>

/// A copy of the text with every single quote doubled, for placing it between single quotes in
/// an SQL statement.
std::string SqlQuote(std::string_view text);

/// The connection string that opens "<home directory>\<base name>.mdb" with the Access driver.
std::string FormatConnectString(std::string_view homeDirectory, std::string_view baseName);
