#include "tables/SetPasswords.h"

#include "crypto/CBlowfish.h"
#include "crypto/HexText.h"
#include "crypto/PasswordText.h"
#include "tables/DatabaseHandles.h"
#include "tables/DatabaseSchema.h"
#include "tests/db/DatabaseTestSupport.h"

#include <gtest/gtest.h>

using tltest::DatabaseTest;

namespace {

class SetPasswordsTest : public DatabaseTest {
protected:
    SetPasswordsTest() {
        CreateAndOpen(theMainDb);
        CreateTables(theMainDb, kMainDatabaseSchema);
    }

    // Slot `index` of the stored password text, decrypted with key.
    static std::string Slot(const std::string& text, std::size_t slotSize, std::size_t index,
                            std::string_view key) {
        auto bytes = HexDecode(text);
        EXPECT_TRUE(bytes.has_value());
        if (!bytes || bytes->size() != 5 * slotSize)
            return {};
        unsigned char* slot = bytes->data() + index * slotSize;
        CBlowfish(key).DecryptBuffer(slot, slotSize);
        return std::string(reinterpret_cast<const char*>(slot), slotSize);
    }

    const CBlowfish masterKey{std::string_view("Tr0ub4dor")};
    std::string error;
};

} // namespace

TEST_F(SetPasswordsTest, EditsTheFirmsRowAndKeepsItsAddress) {
    theMainDb.ExecuteSQL(
        "INSERT INTO UserName (UserName, City, Zipcode) VALUES ('Old Name', 'Albany', '12207')");
    const std::string firm = "Lee & O'Hara, Attorneys";
    ASSERT_TRUE(SetPasswords(firm, masterKey, "Tr0ub4dor", "counsel", "", error)) << error;

    const auto rows = Rows(theMainDb, "SELECT UserName, City, Zipcode, Password FROM UserName");
    ASSERT_EQ(rows.size(), 1u);
    const std::string prefix = firm + "|Albany|12207|";
    ASSERT_EQ(rows[0].substr(0, prefix.size()), prefix);
    const std::string text = rows[0].substr(prefix.size());
    const std::size_t u = PasswordSlotSize(firm.size());
    ASSERT_EQ(text.size(), 10 * u);
    EXPECT_EQ(Slot(text, u, 0, "Tr0ub4dor").substr(4, firm.size()), firm);
    EXPECT_EQ(Slot(text, u, 1, "counsel").substr(4, firm.size()), firm);
    EXPECT_EQ(Slot(text, u, 3, "counsel").substr(4, 10), std::string("Tr0ub4dor\0", 10));
    // No staff password: its two slots are zero bytes.
    EXPECT_EQ(text.substr(4 * u, 2 * u), std::string(2 * u, '0'));
    EXPECT_EQ(text.substr(8 * u), std::string(2 * u, '0'));
}

TEST_F(SetPasswordsTest, WritesTheRowAnewWhenThereIsNone) {
    ASSERT_TRUE(SetPasswords("Chen Law", masterKey, "Tr0ub4dor", "", "staff", error)) << error;
    const auto rows = Rows(theMainDb, "SELECT UserName, Address1, length(Password) FROM UserName");
    EXPECT_EQ(rows, (std::vector<std::string>{"Chen Law||320"}));
}

TEST_F(SetPasswordsTest, WritesTheRowAnewWhenTheEditIsRefused) {
    theMainDb.ExecuteSQL("INSERT INTO UserName (UserName, Address1) VALUES ('Chen Law', '1 Main St')");
    theMainDb.ExecuteSQL("INSERT INTO UserName (UserName, Address1) VALUES ('Stray copy', '')");
    tl::Execute(theMainDb.Handle(), "CREATE TRIGGER Frozen BEFORE UPDATE ON UserName BEGIN "
                                    "SELECT RAISE(ABORT, 'the row is frozen'); END");
    ASSERT_TRUE(SetPasswords("Chen Law", masterKey, "Tr0ub4dor", "", "", error)) << error;
    EXPECT_EQ(Rows(theMainDb, "SELECT UserName, Address1, length(Password) FROM UserName"),
              (std::vector<std::string>{"Chen Law|1 Main St|320"}));
}

TEST_F(SetPasswordsTest, ReportsADatabaseFailureAndChangesNothing) {
    theMainDb.ExecuteSQL("INSERT INTO UserName (UserName) VALUES ('Chen Law')");
    // A firm name longer than its column: the edit and the fresh row are both refused.
    EXPECT_FALSE(SetPasswords(std::string(300, 'F'), masterKey, "m", "", "", error));
    EXPECT_EQ(error, "CHECK constraint failed: UserName.UserName holds at most 255 characters");
    EXPECT_EQ(Rows(theMainDb, "SELECT UserName, Password FROM UserName"),
              (std::vector<std::string>{"Chen Law|NULL"}));

    theMainDb.ExecuteSQL("DROP TABLE UserName");
    EXPECT_FALSE(SetPasswords("Chen Law", masterKey, "m", "", "", error));
    EXPECT_EQ(error, "no such table: UserName");
}
