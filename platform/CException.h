#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <utility>

namespace tl {

/// The longest failure text the program shows in a message box or keeps for one.
inline constexpr std::size_t kMaxMessage = 511;

} // namespace tl

/// Base of the program's exception family: database, file and internet failures derive from it.
/// Every member carries the text that the failing layer reported, for the log and message boxes.
class CException : public std::exception {
public:
    explicit CException(std::string message) : message_(std::move(message)) {}

    /// The failure's text, cut to at most maxLength bytes (message boxes show at most tl::kMaxMessage).
    std::string GetErrorMessage(std::size_t maxLength = std::string::npos) const {
        return message_.substr(0, maxLength);
    }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};
