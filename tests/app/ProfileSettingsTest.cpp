#include "app/ProfileSettings.h"

#include "app/AppConstants.h"
#include "tests/support/TestMachine.h"

#include <sys/stat.h>

using namespace win;

namespace {

class ProfileSettingsTest : public tltest::MachineTest {
protected:
    static std::string Raw(HKEY_ROOT root, const std::string& name, DWORD* type = nullptr) {
        RegKey key;
        EXPECT_EQ(RegOpenKeyEx(root, kSettingsKey, false, key), 0);
        std::string data;
        EXPECT_EQ(RegQueryValueEx(key, name, type, &data), 0) << name;
        return data;
    }
};

} // namespace

TEST_F(ProfileSettingsTest, InstallSettingsAreWrittenWithTheirTypes) {
    RegKey key;
    ASSERT_EQ(GetSectionKey(key), 0);
    WriteInstallSettings(key, {"\\\\TESTPC\\BankruptcyCases",
                               "C:\\Program Files\\Fenmore Software\\Tallymar",
                               1,
                               15,
                               {"NY", "nj"},
                               7});
    DWORD type = 0;
    EXPECT_EQ(GetProfileString("HomeDirectory", ""), "\\\\TESTPC\\BankruptcyCases");
    EXPECT_EQ(GetProfileString("InstallDirectory", ""), "C:\\Program Files\\Fenmore Software\\Tallymar");
    EXPECT_EQ(GetProfileInt("InstallType", -1), 1);
    EXPECT_EQ(GetProfileInt("DatabaseLevel", -1), 15);
    EXPECT_EQ(GetProfileInt("UpdateLevel", -1), 7);
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, "States", &type), std::string("NY\0nj\0\0", 7));
    EXPECT_EQ(type, REG_MULTI_SZ);
}

TEST_F(ProfileSettingsTest, EmptyStateListIsOneZeroByte) {
    RegKey key;
    ASSERT_EQ(GetSectionKey(key), 0);
    WriteInstallSettings(key, {"h", "i", 0, 0, {}, 0});
    EXPECT_EQ(Raw(HKEY_CURRENT_USER, "States"), std::string(1, '\0'));
}

TEST_F(ProfileSettingsTest, MissingValuesGiveDefaults) {
    EXPECT_EQ(GetProfileString("HomeDirectory", "none"), "none");
    EXPECT_EQ(GetProfileInt("InstallType", -1), -1);
}

TEST_F(ProfileSettingsTest, MachineCopyIsDeniedWithoutRightsAndReportsCreation) {
    RegKey key;
    DWORD disposition = 0;
    ASSERT_EQ(CreateMachineSettingsKey(key, &disposition), 0);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    WriteUpdateShadowCopy(key, "\\\\TESTPC\\Cases", "C:\\T", 2, 12, {"CA"});
    EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, "m_homedir"), std::string("\\\\TESTPC\\Cases") + '\0');
    EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, "HomeDirectory"), Raw(HKEY_LOCAL_MACHINE, "m_homedir"));
    ASSERT_EQ(CreateMachineSettingsKey(key, &disposition), 0);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);

    ASSERT_EQ(::chmod(HiveFile(HKEY_LOCAL_MACHINE).c_str(), 0444), 0);
    EXPECT_EQ(CreateMachineSettingsKey(key, &disposition), static_cast<LONG>(ERROR_ACCESS_DENIED));
}

TEST_F(ProfileSettingsTest, LevelsAndUpdateValuesUseTheirNames) {
    RegKey key;
    ASSERT_EQ(GetSectionKey(key), 0);
    WriteLevels(key, 3, 15);
    WriteUpdateSettings(key, "C:\\T", 2, {"TX"});
    EXPECT_EQ(GetProfileInt("UpdateLevel", 0), 3);
    EXPECT_EQ(GetProfileInt("DatabaseLevel", 0), 15);
    EXPECT_EQ(GetProfileInt("InstallType", 0), 2);
    EXPECT_EQ(GetProfileString("InstallDirectory", ""), "C:\\T");
}
