#pragma once

#include <cstdarg>
#include <string>

namespace tl {

/// printf-style formatting into a std::string. The format is checked by the compiler; user text must
/// never be passed as the format (pass it as "%s" instead). Never fails: an encoding error in the
/// format yields an empty string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// As Format, with the arguments already collected.
std::string VFormat(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

} // namespace tl
