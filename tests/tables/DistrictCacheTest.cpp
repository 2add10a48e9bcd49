#include "tables/DistrictCache.h"

#include "db/CDBException.h"
#include "db/SqlText.h"
#include "tables/DatabaseHandles.h"
#include "tests/db/DatabaseTestSupport.h"

#include <gtest/gtest.h>

using tltest::DatabaseTest;

namespace {

class DistrictCacheTest : public DatabaseTest {
protected:
    DistrictCacheTest() {
        tltest::MakePlacesDatabase("C:\\Firm\\TallymarPlaces.mdb");
        thePlacesDb.OpenEx(FormatConnectString(kHome, "tallymarplaces"));
    }
    ~DistrictCacheTest() override { cache.Clear(); }

    DistrictCache cache;
};

} // namespace

TEST_F(DistrictCacheTest, TakesEachDistrictOnceInCourtNameOrderWithItsDescription) {
    cache.Fill();
    EXPECT_EQ(cache.Codes(),
              (std::vector<std::string>{"District of Alaska", "Central District of California",
                                        "Southern District of Florida", "Northern District of Illinois",
                                        "District of Massachusetts", "Eastern District of New York",
                                        "Northern District of New York", "Southern District of New York",
                                        "Middle District of Pennsylvania", "Western District of Texas"}));
    EXPECT_EQ(cache.Names(),
              (std::vector<std::string>{"Alaska", "California", "Florida Southern", "Illinois Northern",
                                        "Massachusetts", "New York Eastern", "New York Northern",
                                        "New York Southern", "Pennsylvania Middle", "Texas Western"}));
}

TEST_F(DistrictCacheTest, AFailedReadLeavesTheCacheAsItWas) {
    cache.Fill();
    const auto codes = cache.Codes();
    thePlacesDb.Close();
    EXPECT_THROW(cache.Fill(), CDBException);
    EXPECT_EQ(cache.Codes(), codes);
    EXPECT_EQ(cache.Names().size(), codes.size());
    cache.Clear();
    EXPECT_TRUE(cache.IsEmpty());
    EXPECT_THROW(cache.Fill(), CDBException);
    EXPECT_TRUE(cache.IsEmpty());
}
