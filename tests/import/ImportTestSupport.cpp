#include "tests/import/ImportTestSupport.h"

#include "app/AppGlobals.h"
#include "platform/Archive.h"
#include "tables/DatabaseHandles.h"
#include "tables/DatabaseSchema.h"

#include <cstdlib>

namespace tltest {

namespace fs = std::filesystem;

Wire& Wire::Dword(std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes_ += static_cast<char>((value >> (8 * i)) & 0xFF);
    return *this;
}

Wire& Wire::String(std::string_view text) {
    bytes_ += tl::EncodeStringLength(text.size());
    bytes_ += text;
    return *this;
}

Wire& Wire::Record(std::initializer_list<std::string_view> values) {
    String("BRR").Dword(0);
    std::uint32_t index = 0;
    for (const std::string_view value : values)
        String("RF").Dword(index++).String("Column").String(value);
    return String("ERR");
}

std::string Section(std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
    std::string text = "[record]\n";
    for (const auto& [key, value] : values) {
        text += key;
        text += '=';
        for (const char c : value) {
            if (c == '\n')
                text += "\\n";
            else if (c == '\\')
                text += "\\\\";
            else
                text += c;
        }
        text += '\n';
    }
    return text;
}

ImportTest::ImportTest() {
    theInstallDirectory = kInstall;
    UseRealProxy();
}

ImportTest::~ImportTest() {
    ::unsetenv("TL_STANDIN_MODE");
    ::unsetenv("TL_STANDIN_REQUEST");
    ::unsetenv("TL_STANDIN_RESPONSE");
}

void ImportTest::PlaceProgram(const char* hostPath) {
    const fs::path target = Host(std::string(kInstall) + "\\TLMFIMPRT.EXE");
    fs::create_directories(target.parent_path());
    // Renamed into place: the program of the last exchange may still be on its way out.
    fs::path fresh = target;
    fresh += ".new";
    fs::copy_file(hostPath, fresh, fs::copy_options::overwrite_existing);
    fs::rename(fresh, target);
}

void ImportTest::UseRealProxy() {
    PlaceProgram(TL_IMPORT_PROXY);
}

void ImportTest::UseStandIn(const std::string& response, const std::string& mode) {
    PlaceProgram(TL_PROXY_STANDIN);
    const fs::path responseFile = prefix() / "standin.response";
    WriteFile(responseFile, response);
    ::setenv("TL_STANDIN_MODE", mode.c_str(), 1);
    ::setenv("TL_STANDIN_REQUEST", (prefix() / "standin.request").c_str(), 1);
    ::setenv("TL_STANDIN_RESPONSE", responseFile.c_str(), 1);
}

std::string ImportTest::StandInRequest() const {
    return ReadFile(prefix() / "standin.request");
}

std::string ImportTest::WriteDataFile(const std::string& name, const std::string& text) {
    const std::string path = std::string(kInstall) + "\\" + name;
    WriteFile(Host(path), text);
    return path;
}

void ImportTest::OpenDatabases() {
    CreateAndOpen(theMainDb, "tallymar");
    CreateTables(theMainDb, kMainDatabaseSchema);
    CreateAndOpen(theCreditorDb, "CreditorNames");
    CreateTables(theCreditorDb, kCreditorDatabaseSchema);
    theCreditorDbOpen = true;
}

std::vector<std::string> ImportTest::MainRows(const std::string& sqliteQuery) {
    return Rows(theMainDb, sqliteQuery);
}

std::vector<std::string> ImportTest::CreditorRows(const std::string& sqliteQuery) {
    return Rows(theCreditorDb, sqliteQuery);
}

std::size_t ImportTest::PipesLeft() const {
    const fs::path pipes = prefix() / "machine" / "pipes";
    if (!fs::exists(pipes))
        return 0;
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(pipes), fs::directory_iterator()));
}

} // namespace tltest
