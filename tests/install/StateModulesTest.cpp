#include "install/StateModules.h"

#include "tests/support/TestMachine.h"

namespace {

class StateModulesTest : public tltest::MachineTest {
protected:
    StateModulesTest() { manifest.push_back(std::make_unique<XCurrentVersion>()); }

    XModule& AddModule(const std::string& name, const std::string& state, std::int32_t flags) {
        auto module = std::make_unique<XModule>();
        module->Name = name;
        module->State = state;
        module->Flags = flags;
        manifest.front()->Modules.push_back(std::move(module));
        return *manifest.front()->Modules.back();
    }
    XSupportFile& AddSupportFile(const std::string& name, const std::string& state, std::int32_t flags) {
        auto file = std::make_unique<XSupportFile>();
        file->Name = name;
        file->State = state;
        file->Flags = flags;
        manifest.front()->SupportFiles.push_back(std::move(file));
        return *manifest.front()->SupportFiles.back();
    }

    std::vector<std::unique_ptr<XCurrentVersion>> manifest;
};

} // namespace

TEST_F(StateModulesTest, CodesAreSortedAndDeduplicatedWithoutRegardToCase) {
    AddModule("tlmtx.dll", "TX", FlagStateModule);
    AddModule("tlmca.dll", "ca", FlagStateModule | FlagInstallIfAbsent);
    AddModule("Tallymar.exe", "NY", FlagInstallIfAbsent); // not a state module
    AddSupportFile("ca.xml", "CA", FlagStateModule);
    AddSupportFile("az.xml", "Az", FlagStateModule);
    AddSupportFile("blank.xml", "", FlagStateModule);
    EXPECT_EQ(StateModuleCodes(manifest), (std::vector<std::string>{"Az", "ca", "TX"}));
}

TEST_F(StateModulesTest, NoCodesWithoutAManifestOrWithAnEmptyFileList) {
    EXPECT_TRUE(StateModuleCodes({}).empty());
    AddModule("tlmtx.dll", "TX", FlagStateModule);
    EXPECT_TRUE(StateModuleCodes(manifest).empty()) << "no support files";
    manifest.front()->Modules.clear();
    AddSupportFile("ca.xml", "CA", FlagStateModule);
    EXPECT_TRUE(StateModuleCodes(manifest).empty()) << "no modules";
}

TEST_F(StateModulesTest, StateIsInstalledWhenEveryFileIsInItsFolder) {
    AddModule("tlmca.dll", "CA", FlagStateModule);
    AddSupportFile("ca.xml", "ca", FlagStateModule | FlagSharedFolder);
    AddSupportFile("tx.xml", "TX", FlagStateModule);
    const XCurrentVersion& current = *manifest.front();
    EXPECT_FALSE(IsStateModuleInstalled(current, "CA", "C:\\Program", "C:\\Home"));
    WriteFile(Host("C:\\Program\\tlmca.dll"), "x");
    EXPECT_FALSE(IsStateModuleInstalled(current, "CA", "C:\\Program", "C:\\Home"));
    WriteFile(Host("C:\\Program\\ca.xml"), "in the wrong folder");
    EXPECT_FALSE(IsStateModuleInstalled(current, "CA", "C:\\Program", "C:\\Home"));
    WriteFile(Host("C:\\Home\\ca.xml"), "x");
    EXPECT_TRUE(IsStateModuleInstalled(current, "ca", "C:\\Program", "C:\\Home"));
    EXPECT_FALSE(IsStateModuleInstalled(current, "NV", "C:\\Program", "C:\\Home")) << "a state without files";
}
