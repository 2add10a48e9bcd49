#include "platform/Format.h"

#include <cstdio>

namespace tl {

std::string VFormat(const char* format, va_list args) {
    va_list probe;
    va_copy(probe, args);
    const int needed = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (needed <= 0)
        return {};
    std::string result(static_cast<std::size_t>(needed), '\0');
    // vsnprintf writes the terminating zero too; std::string keeps room for it past size().
    std::vsnprintf(result.data(), result.size() + 1, format, args);
    return result;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string result = VFormat(format, args);
    va_end(args);
    return result;
}

} // namespace tl
