#pragma once

#include <cstddef>
#include <source_location>
#include <string>

/// Shows "<source>[<line>] - <message>" in a message box with the given style (MB_ bits) and the
/// application's caption, and returns the button pressed. The help id is kept for the callers'
/// sake; there is no help file to open. line defaults to the caller's source line.
int ShowSourceError(const std::string& message, unsigned style, unsigned helpId, const char* source,
                    int line = static_cast<int>(std::source_location::current().line()));

/// The longest database text the roster's failure boxes show.
inline constexpr std::size_t kMaxSourceErrorText = 511;
