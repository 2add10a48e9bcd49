#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// A date that may be partial (year only, month and year) or marked absent, packed in 32 bits:
/// bit 31 month known, bit 30 day known, 0x20000000 alone "N/A", 0x10000000 alone "UNKNOWN",
/// bits 0-19 the day number (days since 1 January 1601, proleptic Gregorian). 0 is invalid.
class CPackedDate {
public:
    static constexpr std::uint32_t kMonthKnown = 0x80000000u;
    static constexpr std::uint32_t kDayKnown = 0x40000000u;
    static constexpr std::uint32_t kNotApplicable = 0x20000000u;
    static constexpr std::uint32_t kUnknown = 0x10000000u;
    static constexpr std::uint32_t kDayNumberMask = 0x000FFFFFu;

    /// UNKNOWN.
    CPackedDate() = default;
    /// Keeps a raw value whose day-number bits are non-zero; any other value gives 0 (invalid).
    explicit CPackedDate(std::uint32_t raw) : value_((raw & kDayNumberMask) != 0 ? raw : 0) {}

    static CPackedDate Unknown() { return CPackedDate(); }
    static CPackedDate NotApplicable() {
        CPackedDate date;
        date.value_ = kNotApplicable;
        return date;
    }

    std::uint32_t Raw() const { return value_; }
    bool IsUnknown() const { return value_ == kUnknown; }
    bool IsNotApplicable() const { return value_ == kNotApplicable; }
    bool IsInvalid() const { return value_ == 0; }

    /// Composes from month 0-12 (0 unknown), day 0-31 (0 unknown) and year 1601-2400. On a
    /// rejected combination the value becomes 0 and the result is false; a day number of 0 gives N/A.
    bool FromParts(int month, int day, int year);

    /// Parses free text ("Monday, January 5, 2004", "5 Jan 04", "13/05/2004", "2004", "N/A",
    /// "UNKNOWN", ...). On failure returns false and keeps the previous value.
    bool FromText(std::string_view text);

    /// The parts of a real date (0 for a part that is not known); false for UNKNOWN, N/A and invalid.
    bool GetParts(int& month, int& day, int& year) const;
    int Month() const;
    int Day() const;
    int Year() const;

    /// "MM/DD/YYYY", "MM/YYYY", "YYYY", "N/A", "UNKNOWN" or "** INVALID DATE **", followed by three
    /// more characters (a zero, the value's top byte, a zero) that the string's length counts.
    std::string Format() const;
    /// The visible characters of Format alone (up to its first zero character).
    std::string Text() const;

    friend bool operator==(const CPackedDate&, const CPackedDate&) = default;

private:
    std::uint32_t value_ = kUnknown;
};
