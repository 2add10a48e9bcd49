#include "app/CSetupSheet.h"

#include "platform/Format.h"
#include "platform/HostFile.h"
#include "platform/LastError.h"
#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"

#include <algorithm>
#include <cstdarg>
#include <sys/stat.h>

namespace {

constexpr char kUninstallRootName[] = "TallymarUninstall";
constexpr char kDeleteFile[] = "DeleteFile";
constexpr char kDeleteKey[] = "DeleteKey";
constexpr char kUninstallDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

// Replaces a host file with data as creating it with CREATE_ALWAYS would: a folder or a read-only
// file in the way is refused with ERROR_ACCESS_DENIED.
DWORD ReplaceHostFile(const std::string& windowsPath, const std::string& data) {
    DWORD error = win::ERROR_SUCCESS;
    const auto host = tl::MapToHostPath(windowsPath, &error);
    if (!host)
        return error;
    struct stat info {};
    if (::stat(host->c_str(), &info) == 0 && (S_ISDIR(info.st_mode) || (info.st_mode & S_IWUSR) == 0))
        return win::ERROR_ACCESS_DENIED;
    return tl::WriteHostFileAtomically(*host, data);
}

} // namespace

CSetupSheet::CSetupSheet(unsigned captionId)
    : isUpdate(captionId == kUpdateCaptionId), captionId_(captionId) {}

CSetupSheet::~CSetupSheet() {
    tl::WipeString(masterPassword);
    tl::WipeString(attorneyPassword);
    tl::WipeString(staffPassword);
}

void CSetupSheet::Log(const char* format, ...) {
    if (!log_.IsOpen())
        return;
    va_list args;
    va_start(args, format);
    const std::string message = tl::VFormat(format, args);
    va_end(args);
    log_.Write(message);
}

void CSetupSheet::SetChoice(int id, int value) {
    for (auto& [choiceId, choiceValue] : choices_) {
        if (choiceId == id) {
            choiceValue = value;
            return;
        }
    }
    choices_.emplace_back(id, value);
}

int CSetupSheet::GetChoice(int id) const {
    for (const auto& [choiceId, choiceValue] : choices_) {
        if (choiceId == id)
            return choiceValue;
    }
    return 0;
}

void CSetupSheet::CreateUninstallRoot() {
    uninstallManifest.roots.push_back(uninstallElementFactory.CreateElement(kUninstallRootName));
}

XmlElement& CSetupSheet::UninstallRoot() {
    if (uninstallManifest.roots.empty())
        CreateUninstallRoot();
    return *uninstallManifest.roots.back();
}

std::unique_ptr<XmlElement> CSetupSheet::AddUninstallEntry(const std::string& kind, const std::string& text) {
    auto entry = uninstallElementFactory.CreateElement(kind);
    entry->SetText(text);
    return entry;
}

void CSetupSheet::AddDeleteFile(const std::string& path) {
    UninstallRoot().children.push_back(AddUninstallEntry(kDeleteFile, path));
}

void CSetupSheet::AddDeleteKey(const std::string& keyPath) {
    UninstallRoot().children.push_back(AddUninstallEntry(kDeleteKey, keyPath));
}

void CSetupSheet::RemoveDeleteFile(const std::string& path) {
    if (uninstallManifest.roots.empty())
        return;
    std::erase_if(
        uninstallManifest.roots.back()->children, [&path](const std::unique_ptr<XmlElement>& entry) {
            return tl::EqualsNoCase(entry->name, kDeleteFile) && tl::EqualsNoCase(entry->Text(), path);
        });
}

bool CSetupSheet::SaveUninstallManifest() {
    const std::string path = installDirectory + "\\TLMUINST.xml";
    std::string text;
    uninstallManifest.Write(text, kUninstallDeclaration);
    const DWORD error = ReplaceHostFile(path, text);
    if (error == win::ERROR_SUCCESS)
        return true;
    Log("**** Error %u trying to write %s", static_cast<unsigned>(error), path.c_str());
    win::SetLastError(error);
    return false;
}
