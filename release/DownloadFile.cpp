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
#include "release/ManifestNames.h"
#include "release/ProductFileSink.h"
#include "release/UninstallEntries.h"
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

bool DownloadFile(CSetupSheet& sheet, const std::string& name, int kind, std::int64_t fileTime) {
    TheUserInterface().SetProgressText(tl::Format("Downloading %s...", PrintableName(name).c_str()));
    if (!IsPlainFileName(name)) {
        LogRefusedFileName(sheet, name);
        return false;
    }
    const std::string dest = TargetPathFor(sheet, name, kind);
    if (!tl::CreateDirectoryPath(dest))
        sheet.Log("**** Error trying to create path to %s", dest.c_str());

    // Each piece goes from the transfer into the temporary file beside dest, which takes the
    // place of dest only once the whole file is there.
    ProductFileSink file(dest, fileTime);
    const SinkFetch fetched = FetchUrlToSink(DownloadUrlFor(name), file);
    if (fetched == SinkFetch::Failed) {
        AppMessageBox(tl::Format("Error downloading %s", name.c_str()), win::MB_OK | win::MB_ICONERROR);
        return false;
    }
    const DWORD error = fetched == SinkFetch::Delivered ? file.Commit() : file.Error();
    if (error != win::ERROR_SUCCESS) {
        AppMessageBox(FileErrorMessage(error, dest), win::MB_OK | win::MB_ICONERROR);
        return false;
    }
    sheet.Log("Setup has installed %s", dest.c_str());
    if (!tl::EqualsNoCase(name, "TLMUINST.EXE"))
        RecordDeleteFile(sheet, dest);
    // Windows marks downloaded files with a ":Zone.Identifier" stream that the download removes;
    // files here carry no such mark.
    return true;
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
