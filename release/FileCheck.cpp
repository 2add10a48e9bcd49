#include "release/FileCheck.h"

#include "platform/Format.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::string Named(const char* name, std::string_view text) {
    return tl::Format("%s \"%s\"", name, std::string(text).c_str());
}

} // namespace

bool ReadFileCheck(std::string_view size, std::string_view sha256, FileCheck& check, std::string& problem) {
    check = FileCheck{};
    if (!size.empty()) {
        std::uint64_t bytes = 0;
        const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), bytes);
        if (!std::all_of(size.begin(), size.end(), IsDigit) || error != std::errc() ||
            end != size.data() + size.size()) {
            problem = Named("Size", size);
            return false;
        }
        check.size = bytes;
    }
    if (!sha256.empty()) {
        if (sha256.size() != 64 || !std::all_of(sha256.begin(), sha256.end(), IsHexDigit)) {
            problem = Named("Sha256", sha256);
            return false;
        }
        check.sha256.assign(sha256);
        std::transform(check.sha256.begin(), check.sha256.end(), check.sha256.begin(),
                       [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    }
    return true;
}
