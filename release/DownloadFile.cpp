#include "release/DownloadFile.h"

#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/PathHelpers.h"
#include "platform/TextUtil.h"
#include "release/FetchUrl.h"
#include "release/FileCheck.h"
#include "release/ManifestNames.h"
#include "release/ProductFileSink.h"
#include "release/UninstallEntries.h"
#include "release/VerifyingSink.h"
#include "release/WriteProductFile.h"

namespace {

std::string FolderFor(const CSetupSheet& sheet, int kind) {
    switch (kind) {
    case FolderHome:
        return sheet.homeDirectory;
    case FolderLocalAppData: {
        std::string folder = tl::GetLocalAppDataDir();
        if (!folder.empty())
            folder.pop_back(); // its trailing backslash
        return folder;
    }
    default:
        return sheet.installDirectory;
    }
}

bool IsUrlPathByte(char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("-._~!$&'()*+,;=@").find(c) != std::string_view::npos;
}

std::string PercentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        if (IsUrlPathByte(c)) {
            encoded += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        encoded += '%';
        encoded += kHex[byte >> 4];
        encoded += kHex[byte & 0x0F];
    }
    return encoded;
}

} // namespace

std::string TargetPathFor(const CSetupSheet& sheet, std::string_view name, int kind) {
    return FolderFor(sheet, kind) + "\\" + std::string(name);
}

std::string ServerFileName(std::string_view name) {
    static constexpr std::pair<std::string_view, std::string_view> kRenamed[] = {
        {"mdb", "exe"}, {"ini", "txt"}, {"tlv", "bin"}};
    std::string server(name);
    if (name.size() < 3)
        return server;
    for (const auto& [local, remote] : kRenamed) {
        if (tl::EqualsNoCase(name.substr(name.size() - 3), local)) {
            server.replace(server.size() - 3, 3, remote);
            break;
        }
    }
    return server;
}

std::string DownloadUrlFor(std::string_view name) {
    return theFileServerUrl + "CurrentVersion/" + PercentEncode(ServerFileName(name));
}

namespace {

TransferLog LogOf(CSetupSheet& sheet) {
    return [&sheet](const std::string& line) { sheet.Log("%s", line.c_str()); };
}

bool ShowDownloadError(const std::string& name) {
    AppMessageBox(tl::Format("Error downloading %s", name.c_str()), win::MB_OK | win::MB_ICONERROR);
    return false;
}

// Fetches the product file for dest into writeTo (dest itself, or the file staged for it),
// checked against the manifest's Size and Sha256 on the way; writeTo is in place only when the
// whole file is there and is what the manifest says.
bool FetchProductFile(CSetupSheet& sheet, const std::string& name, const std::string& dest,
                      const std::string& writeTo, std::int64_t fileTime, std::string_view size,
                      std::string_view sha256) {
    FileCheck check;
    std::string problem;
    if (!ReadFileCheck(size, sha256, check, problem)) {
        sheet.Log("**** The file manifest gives %s an unreadable %s", dest.c_str(), problem.c_str());
        return ShowDownloadError(name);
    }
    if (!tl::CreateDirectoryPath(dest))
        sheet.Log("**** Error trying to create path to %s", dest.c_str());
    if (writeTo != dest && !tl::CreateDirectoryPath(writeTo))
        sheet.Log("**** Error trying to create path to %s", writeTo.c_str());

    // Each piece goes from the transfer through the check into the temporary file beside
    // writeTo, which takes the place of writeTo only once the whole file is there.
    ProductFileSink file(writeTo, fileTime, dest);
    VerifyingSink verified(file, check);
    const SinkFetch fetched = FetchUrlToSink(DownloadUrlFor(name), verified, LogOf(sheet));
    if (fetched == SinkFetch::Failed)
        return ShowDownloadError(name);
    if (fetched == SinkFetch::Delivered || verified.Overran()) {
        if (const auto mismatch = verified.Verify()) {
            sheet.Log("**** %s failed verification (expected %s, got %s)", dest.c_str(),
                      mismatch->expected.c_str(), mismatch->got.c_str());
            return ShowDownloadError(name);
        }
    }
    const DWORD error = fetched == SinkFetch::Delivered ? file.Commit() : file.Error();
    if (error != win::ERROR_SUCCESS) {
        AppMessageBox(FileErrorMessage(error, dest), win::MB_OK | win::MB_ICONERROR);
        return false;
    }
    return true;
}

} // namespace

bool DownloadFile(CSetupSheet& sheet, const std::string& name, int kind, std::int64_t fileTime,
                  std::string_view size, std::string_view sha256) {
    TheUserInterface().SetProgressText(tl::Format("Downloading %s...", PrintableName(name).c_str()));
    if (!IsPlainFileName(name)) {
        LogRefusedFileName(sheet, name);
        return false;
    }
    const std::string dest = TargetPathFor(sheet, name, kind);
    if (!FetchProductFile(sheet, name, dest, dest, fileTime, size, sha256))
        return false;
    sheet.Log("Setup has installed %s", dest.c_str());
    RecordInstalledFile(sheet, name, dest);
    return true;
}

bool StageProductFile(CSetupSheet& sheet, const std::string& name, int kind, std::int64_t fileTime,
                      std::string_view size, std::string_view sha256, const std::string& staged) {
    TheUserInterface().SetProgressText(tl::Format("Downloading %s...", PrintableName(name).c_str()));
    if (!IsPlainFileName(name)) {
        LogRefusedFileName(sheet, name);
        return false;
    }
    return FetchProductFile(sheet, name, TargetPathFor(sheet, name, kind), staged, fileTime, size, sha256);
}

void RecordInstalledFile(CSetupSheet& sheet, const std::string& name, const std::string& dest) {
    if (!tl::EqualsNoCase(name, "TLMUINST.EXE"))
        RecordDeleteFile(sheet, dest);
    // Windows marks downloaded files with a ":Zone.Identifier" stream that the download removes;
    // files here carry no such mark.
}

void DeleteObsoleteFile(CSetupSheet& sheet, const std::string& name, int kind) {
    if (!IsPlainFileName(name)) {
        LogRefusedFileName(sheet, name);
        return;
    }
    const std::string path = TargetPathFor(sheet, name, kind);
    if (!win::DeleteFile(path)) {
        sheet.Log("**** Error %d trying to delete %s", static_cast<int>(win::GetLastError()), path.c_str());
        return;
    }
    ForgetDeleteFile(sheet, path);
    sheet.Log("Setup has deleted %s", path.c_str());
}
