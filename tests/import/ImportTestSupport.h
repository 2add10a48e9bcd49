#pragma once

#include "app/ScriptedUserInterface.h"
#include "tests/db/DatabaseTestSupport.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tltest {

/// Bytes in the channel's archive encoding, for building responses and expected requests.
class Wire {
public:
    Wire& Dword(std::uint32_t value);
    Wire& String(std::string_view text);
    /// A whole record: "BRR" 0, then "RF" i, name, value for each value, then "ERR".
    Wire& Record(std::initializer_list<std::string_view> values);
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

/// One section of a reference-data file with the given keys and values (escaped as needed).
std::string Section(std::initializer_list<std::pair<std::string_view, std::string_view>> values);

/// A machine with the product installed in C:\Program Files\Tallymar (theInstallDirectory) and
/// the import proxy there as TLMFIMPRT.EXE: the real one, or the stand-in that records the
/// request and answers with prepared bytes. Message boxes go to a scripted user interface. The
/// firm's home directory is C:\Firm (DatabaseTest), where OpenDatabases makes the databases.
class ImportTest : public DatabaseTest {
protected:
    ImportTest();
    ~ImportTest() override;

    static constexpr char kInstall[] = "C:\\Program Files\\Tallymar";

    /// Places the real proxy program (the default).
    void UseRealProxy();
    /// Places the stand-in; mode as its TL_STANDIN_MODE, response the bytes it answers with.
    void UseStandIn(const std::string& response, const std::string& mode = "");
    /// The bytes of the last request the stand-in received.
    std::string StandInRequest() const;

    /// Writes a reference-data file into the install directory; returns its Windows path.
    std::string WriteDataFile(const std::string& name, const std::string& text);

    /// Creates the main and the creditor names database with their tables and opens them on
    /// theMainDb and theCreditorDb.
    void OpenDatabases();
    /// The rows of an SQLite query on the main or the creditor database, values joined by "|".
    static std::vector<std::string> MainRows(const std::string& sqliteQuery);
    static std::vector<std::string> CreditorRows(const std::string& sqliteQuery);

    /// Pipes the channel left behind in the prefix (none after a finished exchange).
    std::size_t PipesLeft() const;

    ScopedScriptedUserInterface ui;

private:
    void PlaceProgram(const char* hostPath);
};

} // namespace tltest
