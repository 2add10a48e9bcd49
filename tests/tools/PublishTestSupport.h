#pragma once

#include "tests/release/UpdateTestBase.h"
#include "tests/support/ChildProcess.h"

#include <filesystem>
#include <map>
#include <string>

namespace tltest {

/// A release folder and an output folder beside the machine and loopback server of an update
/// test, with the tlpublish program to turn one into the other.
class PublishTest : public UpdateTestBase {
protected:
    std::filesystem::path ReleaseFolder() const { return work_.Path() / "release"; }
    std::filesystem::path Description() const { return ReleaseFolder() / "release.ini"; }
    std::filesystem::path Output() const { return work_.Path() / "www" / "tallymar"; }

    /// Puts a product file into the release folder with a modification time (seconds since 1970).
    void PutFile(const std::string& name, const std::string& bytes, std::int64_t mtime = 1145368800);
    void Describe(const std::string& text) { WriteFile(Description(), text); }
    /// A small release with every kind of file and field; its description follows kSampleRelease.
    void PutSampleRelease();

    ProgramResult RunPublish() const;
    /// Every file below a folder by relative path, with its bytes.
    static std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder);
    /// The names in the output's parent folder (staging folders would show up here).
    std::vector<std::string> OutputNeighbours() const;

    /// Fetches the manifest from theFileServerUrl and downloads every file it lists with the
    /// program's own code; each installed file must equal its source byte for byte, and a support
    /// file must get its source's modification time.
    void InstallEverything();

    /// Puts every file of the output folder on the loopback server.
    void ServeOutput();

    static constexpr const char* kSampleRelease = R"(; A release as a vendor writes it
[Release]
DatabaseLevel=14
UpdateLevel=3

[Module Tallymar.exe]
Description=Tallymar "main" program
Remarks=\sFaster & <better> printing\nSee C:\\Tallymar\\Help; entities stay: &amp; &#65;
Flags=InstallIfAbsent, AlwaysReplace

[Module Version Probe]
Description=A Linux program of ours
Flags=installifabsent localappdata

[Module Old Tool.exe]
Flags=Obsolete SharedFolder

[SupportFile CreditorNames.mdb]
Description=Creditor names
Flags=InstallIfAbsent SharedFolder
Import=Creditors

[SupportFile tlmscanx.ini]
Flags=InstallIfAbsent

[SupportFile States.tlv]
Description=Random bytes, served as they are
Flags=AlwaysReplace InstallIfAbsent

[SupportFile Empty.txt]
Flags=InstallIfAbsent

[SupportFile Looks compressed.bin]
Flags=InstallIfAbsent

[SupportFile R&D trustees.ini]
Description=Texas trustees
State=TX
Flags=StateModule
Import=Trustees

[Alert A1]
Effective=1/2/2006
Expires=
Level=High
Text=Back up first: C:\\Data & "quotes"
)";

private:
    TempFolder work_;
};

/// Bytes that do not compress: a fixed pseudo-random sequence.
std::string RandomBytes(std::size_t size, unsigned seed);

} // namespace tltest
