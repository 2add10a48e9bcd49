#include "platform/Registry.h"

#include "platform/IoFaults.h"
#include "tests/support/TestMachine.h"

#include <cerrno>
#include <sys/stat.h>

using namespace win;
namespace fs = std::filesystem;

namespace {

class Registry : public tltest::MachineTest {
protected:
    std::vector<std::string> FilesInRegistryFolder() {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(machine().RegistryFolder()))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

} // namespace

TEST_F(Registry, CreateReportsCreatedThenOpened) {
    RegKey key;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Fenmore Software\\Tallymar\\Settings", key,
                             &disposition),
              0);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "software\\FENMORE SOFTWARE\\tallymar\\settings", key,
                             &disposition),
              0);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    // Every key above was created too.
    RegKey parent;
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Fenmore Software", false, parent), 0);
}

TEST_F(Registry, ValuesReadBackWithTheirExactBytes) {
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Test", key), 0);
    ASSERT_EQ(RegSetString(key, "HomeDirectory", "\\\\TESTPC\\BankruptcyCases"), 0);
    ASSERT_EQ(RegSetDword(key, "InstallType", 0xDEADBEEF), 0);
    ASSERT_EQ(RegSetMultiString(key, "States", {"NY", "CA"}), 0);
    ASSERT_EQ(RegSetMultiString(key, "None", {}), 0);

    DWORD type = 0;
    std::string data;
    ASSERT_EQ(RegQueryValueEx(key, "homedirectory", &type, &data), 0);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(data, std::string("\\\\TESTPC\\BankruptcyCases") + '\0');
    ASSERT_EQ(RegQueryValueEx(key, "InstallType", &type, &data), 0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(data, std::string("\xEF\xBE\xAD\xDE", 4));
    ASSERT_EQ(RegQueryValueEx(key, "States", &type, &data), 0);
    EXPECT_EQ(type, REG_MULTI_SZ);
    EXPECT_EQ(data, std::string("NY\0CA\0\0", 7));
    ASSERT_EQ(RegQueryValueEx(key, "None", &type, &data), 0);
    EXPECT_EQ(data, std::string(1, '\0'));
    EXPECT_EQ(RegQueryValueEx(key, "Missing", &type, &data), static_cast<LONG>(ERROR_FILE_NOT_FOUND));

    // A text editor sees a registry export with the list as hex(7).
    const std::string text = ReadFile(HiveFile(HKEY_CURRENT_USER));
    EXPECT_TRUE(text.starts_with("REGEDIT4\r\n\r\n"));
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Test]\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"States\"=hex(7):4e,59,00,43,41,00,00\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"None\"=hex(7):00\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"InstallType\"=dword:deadbeef\r\n"), std::string::npos);
}

TEST_F(Registry, CurrentUserHiveBelongsToEachUser) {
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Mine", key), 0);
    machine().SetUserName("other");
    RegKey other;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Mine", false, other),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(HiveFile(HKEY_CURRENT_USER).filename(), "other.reg");
}

TEST_F(Registry, DeleteTreeRemovesKeyAndSubkeys) {
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Fenmore Software\\Tallymar\\Settings", key), 0);
    ASSERT_EQ(RegSetString(key, "HomeDirectory", "x"), 0);
    EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "Software\\Fenmore Software\\Tallymar"), 0);
    RegKey gone;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Fenmore Software\\Tallymar\\Settings", false, gone),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Fenmore Software", false, gone), 0);
    // The old handle now names a deleted key.
    EXPECT_EQ(RegSetString(key, "HomeDirectory", "y"), static_cast<LONG>(ERROR_KEY_DELETED));
    EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "Software\\Fenmore Software\\Tallymar"),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Registry, ReadOnlyHiveFileOrFolderDeniesCreateAndWriteButAllowsReading) {
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Existing", key), 0);
    ASSERT_EQ(RegSetString(key, "V", "kept"), 0);
    const fs::path hive = HiveFile(HKEY_LOCAL_MACHINE);
    const std::string before = ReadFile(hive);

    for (const fs::path& locked : {hive, hive.parent_path()}) {
        ASSERT_EQ(::chmod(locked.c_str(), fs::is_directory(locked) ? 0555 : 0444), 0);
        RegKey denied;
        DWORD disposition = 0;
        EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Fenmore Software\\Tallymar\\Settings", denied,
                                 &disposition),
                  static_cast<LONG>(ERROR_ACCESS_DENIED));
        EXPECT_FALSE(denied.IsOpen());
        EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Existing", denied),
                  static_cast<LONG>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Existing", true, denied),
                  static_cast<LONG>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(RegSetString(key, "V", "changed"), static_cast<LONG>(ERROR_ACCESS_DENIED));
        RegKey reader;
        ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\Existing", false, reader), 0);
        std::string data;
        EXPECT_EQ(RegQueryValueEx(reader, "V", nullptr, &data), 0);
        EXPECT_EQ(RegSetString(reader, "V", "changed"), static_cast<LONG>(ERROR_ACCESS_DENIED));
        ASSERT_EQ(::chmod(locked.c_str(), fs::is_directory(locked) ? 0755 : 0644), 0);
    }
    EXPECT_EQ(ReadFile(hive), before);
    // The user's own hive is unaffected.
    RegKey user;
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Fenmore Software", user), 0);
}

TEST_F(Registry, FailedSaveLeavesPreviousHiveWholeAndNoTemporaryFile) {
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\K", key), 0);
    ASSERT_EQ(RegSetString(key, "Old", "value"), 0);
    const std::string before = ReadFile(HiveFile(HKEY_LOCAL_MACHINE));
    {
        tl::ScopedWriteFault diskFull([](const fs::path&) { return ENOSPC; });
        EXPECT_EQ(RegSetString(key, "New", std::string(5000, 'x')), static_cast<LONG>(ERROR_DISK_FULL));
        RegKey fresh;
        EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\Other", fresh),
                  static_cast<LONG>(ERROR_DISK_FULL));
    }
    EXPECT_EQ(ReadFile(HiveFile(HKEY_LOCAL_MACHINE)), before);
    for (const std::string& name : FilesInRegistryFolder())
        EXPECT_EQ(name.find(".tmp."), std::string::npos) << name;
    std::string data;
    EXPECT_EQ(RegQueryValueEx(key, "New", nullptr, &data), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Registry, CorruptHiveIsReportedAndNeverOverwritten) {
    const fs::path hive = HiveFile(HKEY_LOCAL_MACHINE);
    WriteFile(hive, "this is not a registry export\r\n");
    RegKey key;
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\K", key),
              static_cast<LONG>(ERROR_REGISTRY_CORRUPT));
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\K", false, key),
              static_cast<LONG>(ERROR_REGISTRY_CORRUPT));
    EXPECT_EQ(ReadFile(hive), "this is not a registry export\r\n");
}

TEST_F(Registry, EnumeratesSubkeysAndValuesInOrder) {
    RegKey key;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Root\\Beta", key), 0);
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Root\\alpha\\Deep", key), 0);
    ASSERT_EQ(RegSetDword(key, "Z", 1), 0);
    ASSERT_EQ(RegSetDword(key, "A", 2), 0);
    EXPECT_EQ(RegEnumKeys(HKEY_LOCAL_MACHINE, "root"), (std::vector<std::string>{"alpha", "Beta"}));
    EXPECT_EQ(RegEnumValueNames(key), (std::vector<std::string>{"Z", "A"}));
    ASSERT_EQ(RegDeleteValue(key, "z"), 0);
    EXPECT_EQ(RegEnumValueNames(key), (std::vector<std::string>{"A"}));
}
