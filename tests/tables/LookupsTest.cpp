#include "tables/Lookups.h"

#include "db/CDBException.h"
#include "db/SqlText.h"
#include "tables/DatabaseHandles.h"
#include "tables/DatabaseSchema.h"
#include "tests/db/DatabaseTestSupport.h"

#include <gtest/gtest.h>

using tltest::DatabaseTest;

namespace {

class LookupsTest : public DatabaseTest {
protected:
    LookupsTest() {
        tltest::MakePlacesDatabase("C:\\Firm\\TallymarPlaces.mdb");
        thePlacesDb.OpenEx(FormatConnectString(kHome, "tallymarplaces"));
    }
};

} // namespace

TEST_F(LookupsTest, LookupZipcodeTakesDigitsOnly) {
    std::string city = "unchanged";
    std::string state = "unchanged";
    EXPECT_TRUE(LookupZipcode("10004", city, state));
    EXPECT_EQ(city, "New York");
    EXPECT_EQ(state, "NY");
    EXPECT_TRUE(LookupZipcode("00501", city, state));
    EXPECT_EQ(city, "Holtsville");

    city = state = "unchanged";
    for (const char* zip : {"99999", "10004-0001", " 10004", "10004 ", "123456789012345678901234567890"})
        EXPECT_FALSE(LookupZipcode(zip, city, state)) << zip;
    EXPECT_EQ(city, "unchanged");
    EXPECT_EQ(state, "unchanged");

    // Text that is not all digits never reaches the database.
    thePlacesDb.Close();
    EXPECT_FALSE(LookupZipcode("", city, state));
    EXPECT_FALSE(LookupZipcode("10004-1234", city, state));
    EXPECT_THROW(LookupZipcode("10004", city, state), CDBException);
}

TEST_F(LookupsTest, IsKnownZipcodeAcceptsFiveDigitsWithAnOptionalFourDigitExtension) {
    for (const char* zip : {"10004", "10004-1234", "02108", "99501-0000"})
        EXPECT_TRUE(IsKnownZipcode(zip)) << zip;
    for (const char* zip : {"", "1004", "100045", "10004-", "10004-123", "10004-12345", "1000a", "10004-12a4",
                            "-1234", "1000-41234", "99999", "10004 1234"})
        EXPECT_FALSE(IsKnownZipcode(zip)) << zip;
}

TEST_F(LookupsTest, CourtDescriptionIsTheStateNameAndTheDirectionOfTheThirdCharacter) {
    struct Case {
        const char* court;
        const char* description;
    };
    for (const Case& c : {Case{"NYSB", "New York Southern"}, Case{"NYEB", "New York Eastern"},
                          Case{"NYNB", "New York Northern"}, Case{"PAMB", "Pennsylvania Middle"},
                          Case{"TXWB", "Texas Western"}, Case{"CACB", "California"}, Case{"AKBK", "Alaska"},
                          Case{"MAB", "Massachusetts"}}) {
        std::string description;
        std::string officeName = "unchanged";
        LookupCourtDescription(c.court, -1, description, officeName);
        EXPECT_EQ(description, c.description) << c.court;
        EXPECT_EQ(officeName, "unchanged");
    }
    std::string description;
    std::string officeName;
    LookupCourtDescription("NYSB", 2, description, officeName);
    EXPECT_EQ(officeName, "White Plains");

    description = officeName = "unchanged";
    LookupCourtDescription("NYSB", 9, description, officeName);
    LookupCourtDescription("XXXB", -1, description, officeName);
    LookupCourtDescription("N'Y", -1, description, officeName);
    EXPECT_EQ(description, "unchanged");
    EXPECT_EQ(officeName, "unchanged");
}

TEST_F(LookupsTest, DistrictAndStateLookupsGiveEmptyTextWhenUnknown) {
    EXPECT_EQ(LookupDistrictDescription("Western District of Texas"), "Texas Western");
    EXPECT_EQ(LookupDistrictDescription("district of massachusetts"), "Massachusetts");
    EXPECT_EQ(LookupDistrictDescription("Queen's Bench"), "");
    EXPECT_EQ(LookupStateName("NY"), "New York");
    EXPECT_EQ(LookupStateName("ny"), "New York");
    EXPECT_EQ(LookupStateName("ZZ"), "");
    EXPECT_TRUE(IsKnownState("DC"));
    EXPECT_FALSE(IsKnownState("O'"));
    EXPECT_FALSE(IsKnownState(""));
}

TEST_F(LookupsTest, FindDefaultAttorneyGivesTheFirstDefaultOrMinusOne) {
    CreateAndOpen(theMainDb);
    theMainDb.ExecuteSQL(kMainDatabaseSchema[0].statement);
    EXPECT_EQ(FindDefaultAttorney(), -1);
    theMainDb.ExecuteSQL("INSERT INTO AttorneyTable (Name, Initials) VALUES ('Ann Lee', 'AL')");
    EXPECT_EQ(FindDefaultAttorney(), -1);
    theMainDb.ExecuteSQL(
        "INSERT INTO AttorneyTable (Name, Initials, Default) VALUES ('Bo Chen', 'BC', TRUE)");
    theMainDb.ExecuteSQL(
        "INSERT INTO AttorneyTable (Name, Initials, Default) VALUES ('Cy Diaz', 'CD', TRUE)");
    EXPECT_EQ(FindDefaultAttorney(), 2);
}
