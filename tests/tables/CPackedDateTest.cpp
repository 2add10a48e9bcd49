#include "tables/CPackedDate.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

struct ParsedText {
    const char* text;
    const char* visible;
};

constexpr ParsedText kAccepted[] = {
    {"Monday, January 5, 2004", "01/05/2004"},
    {"Mon Jan 5 2004 10:30:00", "01/05/2004"}, // text after the third field is allowed after a weekday
    {"wednes. 5 Jan 04", "01/05/2004"},
    {"5 Jan 04", "01/05/2004"},
    {"January 5, 2004", "01/05/2004"},
    {"jan-5-2004", "01/05/2004"},
    {"2004", "2004"},
    {"13/05/2004", "05/13/2004"}, // 13 cannot be a month
    {"05/13/2004", "05/13/2004"},
    {"2004.05.13", "05/13/2004"},
    {"2004\t13 5", "05/13/2004"},
    {"5/6/2004", "05/06/2004"}, // a number that could be either is the month
    {"5/2004", "05/2004"},
    {"5/0/2004", "05/2004"},
    {"2004/0/5", "2004"},
    {"Sept 30 1999", "09/30/1999"},
    {"02/29/2004", "02/29/2004"},
    {"12/31/2099", "12/31/2099"},
    {"1/2/49", "01/02/2049"},
    {"1/2/50", "01/02/1950"},
    {"1/2/00", "01/02/2000"},
    {"1/2/99", "01/02/1999"},
    {"30 Dec 1601", "12/30/1601"},
    {"1/1/1601", "N/A"}, // day number 0 is not representable
    {"UNKNOWN", "UNKNOWN"},
    {"unk", "UNKNOWN"},
    {"N/A", "N/A"},
    {"na", "N/A"},
    // A month name with a year and no day is a month and year.
    {"May 2004", "05/2004"},
    {"Jan 04", "01/2004"},
    {"2004 May", "05/2004"},
    {"Tuesday December 1999", "12/1999"},
};

constexpr const char* kRejected[] = {
    "",
    "Monday",
    "02/29/2001",   // not a leap year
    "02/30/2004",   // past the month's end
    "Jan Feb 2004", // two month names
    "1/2/150",      // neither a four-digit nor a two-digit year
    "1/2/2100",     // past 2099
    "0/5/2004",     // first field 0
    "13/13/2004",
    "1/5/2004 10:30", // left over without a weekday
    "Mo 1/5/2004",    // too short for a weekday
    "Ja 5 2004",      // too short for a month
    "Janx 5 2004",
    "5th May 2004",
    "5:30",
    // A month name is never the two-digit year.
    "Jan",
    "5 May",
    "Monday 5 May",
};

} // namespace

TEST(CPackedDate, NewDateIsUnknownAndRawValuesNeedADayNumber) {
    EXPECT_TRUE(CPackedDate().IsUnknown());
    EXPECT_EQ(CPackedDate().Raw(), 0x10000000u);
    EXPECT_TRUE(CPackedDate(0x10000000u).IsInvalid());
    EXPECT_TRUE(CPackedDate(0xC0000000u).IsInvalid());
    EXPECT_EQ(CPackedDate(0xC0000001u).Raw(), 0xC0000001u);
    EXPECT_TRUE(CPackedDate::NotApplicable().IsNotApplicable());
}

TEST(CPackedDate, ParsesTheCommonTextForms) {
    for (const ParsedText& example : kAccepted) {
        CPackedDate date;
        EXPECT_TRUE(date.FromText(example.text)) << example.text;
        EXPECT_EQ(date.Text(), example.visible) << example.text;
    }
}

TEST(CPackedDate, RejectedTextKeepsThePreviousValue) {
    for (const char* text : kRejected) {
        CPackedDate date;
        ASSERT_TRUE(date.FromParts(7, 4, 1976));
        const std::uint32_t before = date.Raw();
        EXPECT_FALSE(date.FromText(text)) << text;
        EXPECT_EQ(date.Raw(), before) << text;
    }
}

TEST(CPackedDate, PartialDatesReportOnlyTheirKnownParts) {
    CPackedDate date;
    ASSERT_TRUE(date.FromText("Monday, January 5, 2004"));
    EXPECT_EQ(date.Month(), 1);
    EXPECT_EQ(date.Day(), 5);
    EXPECT_EQ(date.Year(), 2004);
    EXPECT_EQ(date.Raw() & 0xF0000000u, 0xC0000000u);

    // A month and year stores the first day of the month; a year alone its 1 February.
    CPackedDate firstOfMay;
    ASSERT_TRUE(firstOfMay.FromParts(5, 1, 2004));
    ASSERT_TRUE(date.FromText("May 2004"));
    EXPECT_EQ(date.Raw(), 0x80000000u | (firstOfMay.Raw() & CPackedDate::kDayNumberMask));
    EXPECT_EQ(date.Month(), 5);
    EXPECT_EQ(date.Day(), 0);

    CPackedDate firstOfFebruary;
    ASSERT_TRUE(firstOfFebruary.FromParts(2, 1, 2004));
    ASSERT_TRUE(date.FromText("2004"));
    EXPECT_EQ(date.Raw(), firstOfFebruary.Raw() & CPackedDate::kDayNumberMask);
    EXPECT_EQ(date.Month(), 0);
    EXPECT_EQ(date.Year(), 2004);

    int month = -1, day = -1, year = -1;
    for (const CPackedDate& special : {CPackedDate(), CPackedDate::NotApplicable(), CPackedDate(0)}) {
        EXPECT_FALSE(special.GetParts(month, day, year));
        EXPECT_EQ(month + day + year, 0);
        EXPECT_EQ(special.Year(), 0);
    }
}

TEST(CPackedDate, FormatCarriesAZeroTheTopByteAndAZero) {
    CPackedDate date;
    ASSERT_TRUE(date.FromText("Monday, January 5, 2004"));
    EXPECT_EQ(date.Format().size(), 13u);
    EXPECT_EQ(date.Format(), "01/05/2004\0\xC0\0"s);
    ASSERT_TRUE(date.FromText("5/2004"));
    EXPECT_EQ(date.Format(), "05/2004\0\x80\0"s);
    ASSERT_TRUE(date.FromText("2004"));
    EXPECT_EQ(date.Format(), "2004\0\0\0"s);
    EXPECT_EQ(CPackedDate::NotApplicable().Format(), "N/A\0\x20\0"s);
    EXPECT_EQ(CPackedDate().Format(), "UNKNOWN\0\x10\0"s);
    EXPECT_EQ(CPackedDate(0).Format(), "** INVALID DATE **\0\0\0"s);
}

TEST(CPackedDate, FromPartsRejectsImpossibleParts) {
    const int rejected[][3] = {
        {13, 1, 2004}, {-1, 1, 2004}, {1, 32, 2004}, {1, -1, 2004}, {4, 31, 2004}, {2, 30, 2004},
        {2, 29, 2001}, {2, 29, 1900}, {1, 1, 1600},  {1, 1, 2401},  {0, 32, 2004}, {0, 1000000, 2004},
    };
    for (const auto& parts : rejected) {
        CPackedDate date;
        EXPECT_FALSE(date.FromParts(parts[0], parts[1], parts[2]))
            << parts[0] << "/" << parts[1] << "/" << parts[2];
        EXPECT_TRUE(date.IsInvalid());
    }
    CPackedDate date;
    EXPECT_TRUE(date.FromParts(2, 29, 2000));
    EXPECT_TRUE(date.FromParts(12, 31, 2400));
    EXPECT_EQ(date.Text(), "12/31/2400");
    // 1 January 1601 is day number 0, which reads as N/A.
    EXPECT_TRUE(date.FromParts(1, 1, 1601));
    EXPECT_TRUE(date.IsNotApplicable());
    EXPECT_TRUE(date.FromParts(1, 0, 1601));
    EXPECT_TRUE(date.IsNotApplicable());
}

TEST(CPackedDate, ComposeAndDecomposeAgreeOnEveryDayFrom1601To2400) {
    using namespace std::chrono;
    const sys_days epoch{year{1601} / January / 1};
    const sys_days last{year{2400} / December / 31};
    for (sys_days day = epoch + days{1}; day <= last; day += days{1}) {
        const year_month_day ymd{day};
        const int y = static_cast<int>(ymd.year());
        const int m = static_cast<int>(static_cast<unsigned>(ymd.month()));
        const int d = static_cast<int>(static_cast<unsigned>(ymd.day()));
        CPackedDate date;
        ASSERT_TRUE(date.FromParts(m, d, y)) << y << "-" << m << "-" << d;
        ASSERT_EQ(date.Raw(), 0xC0000000u | static_cast<std::uint32_t>((day - epoch).count()))
            << y << "-" << m << "-" << d;
        int month = 0, dayOfMonth = 0, yearNumber = 0;
        ASSERT_TRUE(date.GetParts(month, dayOfMonth, yearNumber));
        ASSERT_EQ(month, m);
        ASSERT_EQ(dayOfMonth, d);
        ASSERT_EQ(yearNumber, y);
    }
}

TEST(CPackedDate, EvenASeparatorAfterTheThirdFieldIsLeftOver) {
    for (const char* text : {"1/5/2004 ", "1/5/2004\t", "1/5/2004.", "5 Jan 04,", "1/5/2004-"}) {
        CPackedDate date;
        ASSERT_TRUE(date.FromParts(7, 4, 1976));
        EXPECT_FALSE(date.FromText(text)) << text;
        EXPECT_EQ(date.Text(), "07/04/1976") << text;
    }
    // Separators before a field that does not come are not left over; after a weekday nothing is.
    for (const char* text : {"5/2004 ", "2004.", "Monday 1/5/2004 ", "Mon, Jan 5, 04."}) {
        CPackedDate date;
        EXPECT_TRUE(date.FromText(text)) << text;
    }
}
