#include "tables/CPackedDate.h"

#include "platform/Format.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr int kFirstYear = 1601;
constexpr int kLastYear = 2400;
constexpr int kLastParsedYear = 2099;
constexpr int kDaysPer400Years = 146097;
constexpr int kDaysPer100Years = 36524;
constexpr int kDaysPer4Years = 1461;
constexpr int kDaysPerYear = 365;

constexpr int kLeapMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kLeapDaysBefore[13] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};

constexpr std::array<std::string_view, 7> kWeekdays = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                       "Friday", "Saturday", "Sunday"};
constexpr std::array<std::string_view, 12> kMonths = {"January",   "February", "March",    "April",
                                                      "May",       "June",     "July",     "August",
                                                      "September", "October",  "November", "December"};
constexpr std::string_view kSeparators = " .,/-\t";

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The index of the name that the word begins (case-insensitive), when the word has at least 3
// characters; -1 otherwise.
template <std::size_t N>
int NameIndex(std::string_view word, const std::array<std::string_view, N>& names) {
    if (word.size() < 3)
        return -1;
    for (std::size_t i = 0; i < N; ++i) {
        if (tl::StartsWithNoCase(names[i], word))
            return static_cast<int>(i);
    }
    return -1;
}

struct Ymd {
    int year;
    int month; // 1-12
    int day;   // 1-31
};

Ymd DecomposeDayNumber(int dayNumber) {
    const int cycles400 = dayNumber / kDaysPer400Years;
    int rest = dayNumber % kDaysPer400Years;
    // The leap day of a 400-year cycle is its last day, which belongs to the fourth century.
    const int centuries = std::min(rest / kDaysPer100Years, 3);
    rest -= centuries * kDaysPer100Years;
    const int cycles4 = rest / kDaysPer4Years;
    rest -= cycles4 * kDaysPer4Years;
    const int years = std::min(rest / kDaysPerYear, 3);
    rest -= years * kDaysPerYear;
    const int year = kFirstYear + 400 * cycles400 + 100 * centuries + 4 * cycles4 + years;

    // Shift the days from 1 March on in a common year so that the leap-year tables apply.
    int dayOfYear = rest;
    if (!IsLeapYear(year) && dayOfYear >= kLeapDaysBefore[2] - 1)
        ++dayOfYear;
    int month = 0;
    while (kLeapDaysBefore[month + 1] <= dayOfYear)
        ++month;
    return {year, month + 1, dayOfYear - kLeapDaysBefore[month] + 1};
}

struct DateField {
    int value = -1;
    bool isMonthName = false;
};

struct DateFields {
    std::array<DateField, 3> field;
    std::size_t count = 0;
};

std::size_t SkipSeparators(std::string_view text, std::size_t at) {
    while (at < text.size() && kSeparators.find(text[at]) != std::string_view::npos)
        ++at;
    return at;
}

// Splits the text into at most three fields (numbers or month names), after an optional leading
// weekday. Nothing when a field is malformed or, without a weekday, text follows the third field.
std::optional<DateFields> SplitDateFields(std::string_view text) {
    std::size_t at = 0;
    const std::string_view firstWord = text.substr(0, text.find_first_of(kSeparators));
    const bool weekday = NameIndex(firstWord, kWeekdays) >= 0;
    if (weekday)
        at = SkipSeparators(text, firstWord.size());

    DateFields fields;
    while (fields.count < 3 && at < text.size()) {
        DateField& field = fields.field[fields.count++];
        if (IsDigit(text[at])) {
            field.value = 0;
            for (; at < text.size() && IsDigit(text[at]); ++at)
                field.value = std::min(field.value * 10 + (text[at] - '0'), 100000000);
        } else {
            const std::size_t start = at;
            while (at < text.size() && IsLetter(text[at]))
                ++at;
            const int month = NameIndex(text.substr(start, at - start), kMonths);
            if (month < 0)
                return std::nullopt;
            field.value = month + 1;
            field.isMonthName = true;
        }
        // Separators lie between fields: after the third, even a blank is left over.
        if (fields.count < 3)
            at = SkipSeparators(text, at);
    }
    if (fields.count == 0 || (at < text.size() && !weekday))
        return std::nullopt;
    return fields;
}

struct DateParts {
    int month;
    int day;
    int year;
};

struct YearField {
    std::size_t index;
    int year;
};

// The first field of 1601 or more is the year; without one the last field is a two-digit year.
std::optional<YearField> FindYear(const DateFields& fields) {
    for (std::size_t i = 0; i < fields.count; ++i) {
        const DateField& field = fields.field[i];
        if (!field.isMonthName && field.value >= kFirstYear)
            return YearField{i, field.value};
    }
    const std::size_t lastIndex = fields.count - 1;
    const DateField& last = fields.field[lastIndex];
    // A month name is never a two-digit year: "Jan" alone is not January 2001.
    if (last.isMonthName || last.value > 99)
        return std::nullopt;
    return YearField{lastIndex, last.value < 50 ? 2000 + last.value : 1900 + last.value};
}

// Month and day from the two fields beside the year (b.value is -1 when b is absent).
std::optional<DateParts> ChooseMonthAndDay(const DateField& a, const DateField& b, int year) {
    if (a.value <= 0)
        return DateParts{0, 0, year};
    int month = 0;
    int day = 0;
    if (a.value < 13 && !b.isMonthName) {
        month = a.value;
        // A month name without a day ("May 2004") is a month and year, as "5/2004" is.
        day = b.value < 0 ? 0 : b.value;
        if (b.value < 13 && !a.isMonthName)
            return DateParts{month, day, year};
    } else {
        month = b.value;
        day = a.value;
        if (month < 1 || month > 12)
            return std::nullopt;
    }
    if (day > kLeapMonthDays[month - 1] || (month == 2 && day == 29 && !IsLeapYear(year)))
        return std::nullopt;
    return DateParts{month, day, year};
}

// Chooses year, month and day from the fields; nothing when they do not make a date.
std::optional<DateParts> InterpretDateFields(const DateFields& fields) {
    if (!fields.field[0].isMonthName && fields.field[0].value == 0)
        return std::nullopt;
    const auto monthNames = std::count_if(fields.field.begin(), fields.field.begin() + fields.count,
                                          [](const DateField& field) { return field.isMonthName; });
    if (monthNames > 1)
        return std::nullopt;
    const std::optional<YearField> year = FindYear(fields);
    if (!year || year->year > kLastParsedYear)
        return std::nullopt;

    DateField rest[2];
    std::size_t restCount = 0;
    for (std::size_t i = 0; i < fields.count; ++i) {
        if (i != year->index)
            rest[restCount++] = fields.field[i];
    }
    return ChooseMonthAndDay(rest[0], rest[1], year->year);
}

} // namespace

bool CPackedDate::FromParts(int month, int day, int year) {
    value_ = 0;
    if (month < 0 || month > 12 || day < 0 || year < kFirstYear || year > kLastYear)
        return false;
    // Without a month there is no month length; 31 still bounds the day so that the day number
    // cannot run past its bits into the flags.
    const int longestDay = month == 0 ? 31 : kLeapMonthDays[month - 1];
    if (day > longestDay || (month == 2 && day == 29 && !IsLeapYear(year)))
        return false;

    const int y = year - kFirstYear;
    int dayNumber = kDaysPer400Years * (y / 400) + kDaysPer100Years * (y % 400 / 100) +
                    kDaysPer4Years * (y % 100 / 4) + kDaysPerYear * (y % 4);
    dayNumber += month == 0 ? kLeapDaysBefore[1] : kLeapDaysBefore[month - 1];
    if (month > 2 && !IsLeapYear(year))
        dayNumber -= 1;
    if (day >= 1)
        dayNumber += day - 1;
    if (dayNumber == 0) {
        value_ = kNotApplicable;
        return true;
    }
    value_ =
        static_cast<std::uint32_t>(dayNumber) | (month != 0 ? kMonthKnown : 0u) | (day != 0 ? kDayKnown : 0u);
    return true;
}

bool CPackedDate::FromText(std::string_view text) {
    if (tl::EqualsNoCase(text, "UNKNOWN") || tl::EqualsNoCase(text, "UNK")) {
        value_ = kUnknown;
        return true;
    }
    if (tl::EqualsNoCase(text, "NA") || tl::EqualsNoCase(text, "N/A")) {
        value_ = kNotApplicable;
        return true;
    }
    const std::optional<DateFields> fields = SplitDateFields(text);
    if (!fields)
        return false;
    const std::optional<DateParts> parts = InterpretDateFields(*fields);
    if (!parts)
        return false;
    CPackedDate composed;
    const bool ok = composed.FromParts(parts->month, parts->day, parts->year);
    value_ = composed.value_;
    return ok;
}

bool CPackedDate::GetParts(int& month, int& day, int& year) const {
    month = day = year = 0;
    const std::uint32_t dayNumber = value_ & kDayNumberMask;
    if (dayNumber == 0)
        return false;
    const Ymd date = DecomposeDayNumber(static_cast<int>(dayNumber));
    year = date.year;
    if ((value_ & kMonthKnown) != 0)
        month = date.month;
    if ((value_ & kDayKnown) != 0)
        day = date.day;
    return true;
}

int CPackedDate::Month() const {
    int month, day, year;
    GetParts(month, day, year);
    return month;
}

int CPackedDate::Day() const {
    int month, day, year;
    GetParts(month, day, year);
    return day;
}

int CPackedDate::Year() const {
    int month, day, year;
    GetParts(month, day, year);
    return year;
}

std::string CPackedDate::Text() const {
    if (value_ == kNotApplicable)
        return "N/A";
    if (value_ == kUnknown)
        return "UNKNOWN";
    int month, day, year;
    if (!GetParts(month, day, year))
        return "** INVALID DATE **";
    if ((value_ & kDayKnown) != 0)
        return tl::Format("%2.2d/%2.2d/%4.4d", month, day, year);
    if ((value_ & kMonthKnown) != 0)
        return tl::Format("%2.2d/%4.4d", month, year);
    return tl::Format("%4.4d", year);
}

std::string CPackedDate::Format() const {
    std::string text = Text();
    text.push_back('\0');
    text.push_back(static_cast<char>(value_ >> 24));
    text.push_back('\0');
    return text;
}
