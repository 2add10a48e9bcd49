#include "crypto/PasswordText.h"

#include "crypto/CBlowfish.h"
#include "crypto/HexText.h"
#include "crypto/RandomBytes.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

// Deterministic stand-in for the system's random source: 1, 2, ..., 255, 1, ...
class CountingBytes : public RandomByteSource {
public:
    unsigned char NextByte() override {
        next_ = next_ == 255 ? 1 : next_ + 1;
        return static_cast<unsigned char>(next_);
    }

private:
    int next_ = 0;
};

class PasswordTextTest : public ::testing::Test {
protected:
    std::string Make(const std::string& firm, const std::string& master, const std::string& attorney,
                     const std::string& staff) {
        const CBlowfish masterKey(master);
        return MakePasswordText(firm, masterKey, master, attorney, staff, random_);
    }

    // Slot n of a password text, decrypted with the key.
    static std::string Slot(const std::string& text, std::size_t slotSize, int n, const std::string& key) {
        std::vector<unsigned char> bytes = HexDecode(text).value();
        unsigned char* slot = bytes.data() + static_cast<std::size_t>(n) * slotSize;
        CBlowfish(key).DecryptBuffer(slot, slotSize);
        return std::string(reinterpret_cast<const char*>(slot), slotSize);
    }

    // Four salt bytes, then the expected text, then (when given) a zero byte, then random fill.
    static void ExpectSlot(const std::string& slot, const std::string& text, bool zeroByte) {
        const std::string salt = slot.substr(0, 4);
        EXPECT_EQ(salt.find('\0'), std::string::npos);
        EXPECT_EQ(slot.substr(4, text.size()), text);
        std::string rest = slot.substr(4 + text.size());
        if (zeroByte) {
            ASSERT_FALSE(rest.empty());
            EXPECT_EQ(rest[0], '\0');
            rest.erase(0, 1);
        }
        EXPECT_EQ(rest.find('\0'), std::string::npos);
    }

    CountingBytes random_;
};

} // namespace

TEST_F(PasswordTextTest, SlotSizeIsAMultipleOf32HoldingSaltAndFirmName) {
    EXPECT_EQ(PasswordSlotSize(0), 32u);
    EXPECT_EQ(PasswordSlotSize(28), 32u);
    EXPECT_EQ(PasswordSlotSize(29), 64u);
    EXPECT_EQ(PasswordSlotSize(60), 64u);
    EXPECT_EQ(PasswordSlotSize(61), 96u);

    EXPECT_EQ(Make(std::string(28, 'F'), "m", "", "").size(), 320u);
    EXPECT_EQ(Make(std::string(29, 'F'), "m", "", "").size(), 640u);
}

TEST_F(PasswordTextTest, BlankPasswordsLeaveTheirSlotsZero) {
    const std::string firm = "Baxter & O'Neil, P.C.";
    const std::string text = Make(firm, "secret", "", "");
    ASSERT_EQ(text.size(), 320u);
    EXPECT_EQ(text.substr(64), std::string(256, '0'));
    EXPECT_NE(text.substr(0, 64), std::string(64, '0'));
    ExpectSlot(Slot(text, 32, 0, "secret"), firm, false);

    // Only the staff password given: slots 1 and 3 stay zero, 2 and 4 do not.
    const std::string staffOnly = Make(firm, "secret", "", "staff");
    EXPECT_EQ(staffOnly.substr(64, 64), std::string(64, '0'));
    EXPECT_EQ(staffOnly.substr(192, 64), std::string(64, '0'));
    ExpectSlot(Slot(staffOnly, 32, 2, "staff"), firm, false);
    ExpectSlot(Slot(staffOnly, 32, 4, "staff"), "secret", true);
}

TEST_F(PasswordTextTest, EverySlotDecryptsUnderItsKey) {
    const std::string firm = "Smith Law";
    const std::string text = Make(firm, "Master1", "Atty", "Staff");
    EXPECT_EQ(text.size(), 320u);
    EXPECT_EQ(text.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    ExpectSlot(Slot(text, 32, 0, "Master1"), firm, false);
    ExpectSlot(Slot(text, 32, 1, "Atty"), firm, false);
    ExpectSlot(Slot(text, 32, 2, "Staff"), firm, false);
    ExpectSlot(Slot(text, 32, 3, "Atty"), "Master1", true);
    ExpectSlot(Slot(text, 32, 4, "Staff"), "Master1", true);
}

TEST_F(PasswordTextTest, FirmNameOf28CharactersFillsSlotZeroExactly) {
    const std::string firm(28, 'N');
    const std::string slot = Slot(Make(firm, "pw", "", ""), 32, 0, "pw");
    EXPECT_EQ(slot.substr(4), firm);
}

TEST_F(PasswordTextTest, MasterPasswordTooLongForTheSlotIsCutWithoutZeroByte) {
    const std::string firm = "Firm";
    const std::string longMaster(40, 'M');
    const std::string text = Make(firm, longMaster, "a", "s");
    EXPECT_EQ(Slot(text, 32, 3, "a").substr(4), longMaster.substr(0, 28));
    EXPECT_EQ(Slot(text, 32, 4, "s").substr(4), longMaster.substr(0, 28));

    // Exactly U - 4 characters fill the slot: no room for the zero byte either.
    const std::string exact(28, 'X');
    EXPECT_EQ(Slot(Make(firm, exact, "a", ""), 32, 3, "a").substr(4), exact);
    // One less leaves room for the zero byte and no fill.
    const std::string shorter(27, 'Y');
    EXPECT_EQ(Slot(Make(firm, shorter, "a", ""), 32, 3, "a").substr(4), shorter + '\0');
}

TEST(SystemRandomBytes, GivesEveryValueFrom1To255AndNeverZero) {
    SystemRandomBytes random;
    std::set<int> seen;
    for (int i = 0; i < 20000; ++i) {
        const unsigned char byte = random.NextByte();
        ASSERT_NE(byte, 0);
        seen.insert(byte);
    }
    EXPECT_EQ(seen.size(), 255u);
}
