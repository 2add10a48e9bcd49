#pragma once

#include <string>
#include <string_view>

namespace tl {

/// ASCII upper/lower case of one byte; other bytes (including the upper half of the code page)
/// are returned unchanged, as the single-byte comparisons of the program expect.
constexpr char AsciiToUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiToLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

/// The value of one hexadecimal digit (either case), or -1 for any other byte.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

/// Case-insensitive equality of two byte strings (ASCII letters folded).
bool EqualsNoCase(std::string_view a, std::string_view b);

/// Case-insensitive three-way comparison (<0, 0, >0), ASCII letters folded, bytes unsigned.
int CompareNoCase(std::string_view a, std::string_view b);

bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

/// Overwrites every byte of a string that held a secret with 0xCC, keeping its length.
void WipeString(std::string& secret);

/// Holds a secret and wipes it with 0xCC before its storage is released.
class SecretString {
public:
    SecretString() = default;
    explicit SecretString(std::string value) : value_(std::move(value)) {}
    SecretString(const SecretString&) = default;
    SecretString& operator=(const SecretString& other) {
        if (this != &other) {
            WipeString(value_);
            value_ = other.value_;
        }
        return *this;
    }
    ~SecretString() { WipeString(value_); }
    const std::string& str() const { return value_; }
    std::string& str() { return value_; }

private:
    std::string value_;
};

} // namespace tl
