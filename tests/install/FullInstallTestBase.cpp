#include "tests/install/FullInstallTestBase.h"

#include "app/AppGlobals.h"
#include "crypto/MasterKey.h"
#include "db/CreateDatabaseFile.h"
#include "install/RunFullInstall.h"
#include "platform/WinTypes.h"
#include "release/DownloadFile.h"
#include "release/FetchUrl.h"
#include "release/TrustedReleaseKeys.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <zlib.h>

namespace tltest {

namespace fs = std::filesystem;

namespace {

constexpr char kCreditorFile[] =
    "; Creditors shipped with the product\n"
    "[Macy's]\nName=Macy's\nAddress1=PO Box 8218\nCity=Mason\nState=OH\n"
    "Zipcode=45040-8218\n\n"
    "[Sears]\nName=Sears Card\nAddress1=PO Box 6189\nCity=Sioux Falls\nState=SD\n"
    "Zipcode=57117\n";

std::string ReadBinary(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string Attribute(const char* name, const std::string& value) {
    std::string escaped;
    for (const char c : value) {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '"')
            escaped += "&quot;";
        else if (c == '<')
            escaped += "&lt;";
        else
            escaped += c;
    }
    return std::string(" ") + name + "=\"" + escaped + "\"";
}

} // namespace

std::string Compress(const std::string& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string compressed(size, '\0');
    const int result =
        compress(reinterpret_cast<Bytef*>(compressed.data()), &size,
                 reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()));
    EXPECT_EQ(result, Z_OK);
    compressed.resize(size);
    return compressed;
}

FullInstallTest::FullInstallTest() {
    theFileServerUrl = server.BaseUrl();
    SetTransferLimitsForTesting(TransferLimits{64 * 1024 * 1024, 5, 5});
    SetBuiltInReleaseKeysForTesting(std::vector<std::string>{});
    ui.attorneyRoster = [this](CSetupSheet&) { ++rosterRuns; };
    // What the pages record: the install type's choices and, for the pages shown, their answers.
    ui.installWizard = [this](CSetupSheet& sheet) {
        sheet.SetChoice(kChoiceThisComputerOnly, answers.installType == 0);
        sheet.SetChoice(kChoiceSharedFilesHere, answers.installType == 1);
        sheet.SetChoice(kChoiceSharedFilesElsewhere, answers.installType == 2);
        if (answers.installType != 2) {
            sheet.firmName = answers.firmName;
            sheet.masterPassword = answers.masterPassword;
            sheet.attorneyPassword = answers.attorneyPassword;
            sheet.staffPassword = answers.staffPassword;
            sheet.SetChoice(kChoiceSetupAttorneysNow, answers.attorneysNow);
        }
        sheet.installDirectory = answers.installDirectory;
        sheet.homeDirectory = answers.homeDirectory;
        sheet.shareName = answers.shareName;
        sheet.networkUserName = answers.networkUserName;
        sheet.states = answers.states;
        return answers.finish ? win::ID_WIZFINISH : win::IDCANCEL;
    };
}

void FullInstallTest::UseStandardRelease() {
    std::filesystem::create_directories(Host("C:\\Staging"));
    MakePlacesDatabase("C:\\Staging\\TallymarPlaces.mdb");
    const std::string places = ReadBinary(Host("C:\\Staging\\TallymarPlaces.mdb"));
    fs::remove_all(Host("C:\\Staging"));
    modules = {
        {"Tallymar.exe", 0x02, std::string(20000, 'T') + "the product", "", "", "", true},
        {"TlSplash.exe", 0x02, "the starter", "", "", "", false},
        {"TLMUINST.exe", 0x02, "the uninstaller", "", "", "", false},
        {"TLMFIMPRT.EXE", 0x02, ReadBinary(TL_IMPORT_PROXY), "", "", "", true},
        {"tlmAZ.dll", 0x10, "Arizona practice module", "AZ", "", "", false},
        {"tlmCA.dll", 0x10, "California practice module", "CA", "", "", false},
        {"Optional.dll", 0x00, "installed only where it already is", "", "", "", false},
        {"Retired.dll", 0x22, "obsolete", "", "", "", false},
    };
    supportFiles = {
        {"TallymarPlaces.mdb", 0x0A, places, "", "01/15/2024", "09:30:00", true},
        {"MeansTest.mdb", 0x0A, "means test tables", "", "01/15/2024", "09:30:00", false},
        {"Creditors.ini", 0x202, kCreditorFile, "", "03/14/2024", "10:20:30", false},
        {"Tallymar Help.chm", 0x02, std::string(5000, 'h'), "", "02/29/2024", "23:59:58", true},
        {"AZexemptions.xml", 0x10, "<exemptions state=\"AZ\"/>", "AZ", "06/01/2023", "12:00:00", false},
        {"tlmscanx.ini", 0x40, "[ScanSnap]\r\nProfile=Tallymar\r\n", "", "05/05/2023", "08:00:00", false},
    };
}

void FullInstallTest::Withdraw(const std::string& name) {
    for (auto* list : {&modules, &supportFiles})
        std::erase_if(*list, [&](const ReleaseFile& file) { return file.name == name; });
}

void FullInstallTest::Publish() {
    std::string manifest = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<CurrentVersion" +
                           Attribute("DatabaseLevel", std::to_string(databaseLevel)) +
                           Attribute("UpdateLevel", std::to_string(updateLevel)) + ">\r\n";
    for (const ReleaseFile& file : modules) {
        manifest += "  <Module" + Attribute("Name", file.name) + Attribute("Description", file.name) +
                    Attribute("Version", file.version) + Attribute("State", file.state) +
                    Attribute("Flags", std::to_string(file.flags)) + "/>\r\n";
    }
    for (const ReleaseFile& file : supportFiles) {
        manifest += "  <SupportFile" + Attribute("Name", file.name) + Attribute("Description", file.name) +
                    Attribute("Date", file.date) + Attribute("Time", file.time) +
                    Attribute("State", file.state) + Attribute("Flags", std::to_string(file.flags)) +
                    "/>\r\n";
    }
    manifest += "</CurrentVersion>\r\n";
    server.Serve("/CurrentVersion.xml", Compress(manifest));
    if (signingKey) // of the manifest as the program reads it, inflated
        server.Serve("/CurrentVersion.xml.sig", Ed25519SignatureText(signingKey->Sign(manifest)) + "\n");
    for (const auto* list : {&modules, &supportFiles}) {
        for (const ReleaseFile& file : *list)
            server.Serve("/CurrentVersion/" + ServerFileName(file.name),
                         file.compressed ? Compress(file.content) : file.content);
    }
}

int FullInstallTest::Install() {
    Publish();
    return RunFullInstall(0);
}

std::vector<std::string> FullInstallTest::LogLines() {
    std::istringstream log(ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt")));
    std::vector<std::string> lines;
    const std::string url = server.BaseUrl();
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t stamp = line.find(" - ");
        line = stamp == std::string::npos ? line : line.substr(stamp + 3);
        for (std::size_t at; (at = line.find(url)) != std::string::npos;)
            line.replace(at, url.size(), "<server>/");
        if (line.starts_with("Executable path is "))
            line = "Executable path is <program>";
        lines.push_back(line);
    }
    return lines;
}

std::string FullInstallTest::Golden(const std::string& name, const std::string& actual) {
    const fs::path file = fs::path(TL_TEST_DATA_DIR) / goldenFolder / name;
    const char* update = std::getenv("TL_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << actual;
    }
    return ReadBinary(file);
}

void FullInstallTest::ExpectGoldenLog(const std::string& name) {
    ExpectGoldenLines(name, LogLines());
}

void FullInstallTest::ExpectGoldenLines(const std::string& name, const std::vector<std::string>& actual) {
    std::string text;
    for (const std::string& line : actual)
        text += line + "\n";
    std::istringstream golden(Golden(name, text));
    std::vector<std::string> expected;
    for (std::string line; std::getline(golden, line);)
        expected.push_back(line);
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        EXPECT_EQ(i < actual.size() ? actual[i] : "<missing>",
                  i < expected.size() ? expected[i] : "<missing>")
            << name << " line " << i + 1;
    }
}

std::vector<std::string> FullInstallTest::PrefixListing(const std::string& except) {
    std::vector<std::string> listing;
    const fs::path root = machine().Prefix();
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = entry.path().lexically_relative(root).generic_string();
        if (!except.empty() && relative == except)
            continue;
        // Reading a hive leaves its lock file, which holds nothing.
        if (relative.starts_with("registry/.") && relative.ends_with(".lock"))
            continue;
        if (entry.is_directory()) {
            listing.push_back(relative + "/");
            continue;
        }
        const auto time = entry.last_write_time().time_since_epoch().count();
        listing.push_back(relative + "|" + std::to_string(entry.file_size()) + "|" + std::to_string(time));
    }
    std::sort(listing.begin(), listing.end());
    return listing;
}

bool FullInstallTest::PrefixContains(const std::string& text) {
    for (const auto& entry : fs::recursive_directory_iterator(machine().Prefix())) {
        if (entry.is_regular_file() && ReadBinary(entry.path()).find(text) != std::string::npos) {
            ADD_FAILURE() << entry.path() << " holds \"" << text << "\"";
            return true;
        }
    }
    return false;
}

std::vector<std::string> FullInstallTest::FolderContents(const std::string& windowsFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(Host(windowsFolder), error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void FullInstallTest::MakeMainComputer(const std::string& computer, const std::string& share) {
    fs::create_directories(machine().NetworkFolder() / computer / share);
    for (const char* name : {"Tallymar.mdb", "TallymarPlaces.mdb", "CreditorNames.mdb", "MeansTest.mdb"})
        ASSERT_EQ(CreateDatabaseFile("\\\\" + computer + "\\" + share + "\\" + name), win::ERROR_SUCCESS)
            << name;
}

} // namespace tltest
