#include "tools/uninstall/UninstallManifest.h"

#include "platform/HostFile.h"
#include "platform/TextUtil.h"
#include "tools/uninstall/UninstallNames.h"
#include "xml/XmlDocument.h"

namespace tl::uninstall {

namespace {

// Collects what the parser reports instead of letting it reach standard error, for the life of
// one parse. The reader's hooks are process-wide; the uninstaller parses on one thread only.
class CapturedParseErrors {
public:
    CapturedParseErrors()
        : previous_(XmlDocument::SetDebugOutput([this](const std::string& text) { text_ += text; })) {}
    CapturedParseErrors(const CapturedParseErrors&) = delete;
    CapturedParseErrors& operator=(const CapturedParseErrors&) = delete;
    ~CapturedParseErrors() { XmlDocument::SetDebugOutput(std::move(previous_)); }

    /// The report without its trailing line ends.
    std::string Text() const {
        std::string text = text_;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }

private:
    XmlDocument::ReportFunction previous_;
    std::string text_;
};

ManifestEntry::Kind KindOf(const std::string& element) {
    if (EqualsNoCase(element, kDeleteFile))
        return ManifestEntry::Kind::DeleteFile;
    if (EqualsNoCase(element, kDeleteKey))
        return ManifestEntry::Kind::DeleteKey;
    return ManifestEntry::Kind::Unknown;
}

} // namespace

UninstallManifest ParseUninstallManifest(const std::string& text) {
    UninstallManifest manifest;
    XmlDocument document(false);
    {
        CapturedParseErrors errors;
        if (!document.Parse(text)) {
            manifest.error = errors.Text();
            if (manifest.error.empty())
                manifest.error = "The uninstall manifest cannot be read as XML";
            return manifest;
        }
    }
    if (document.roots.size() != 1 || !EqualsNoCase(document.roots[0]->name, kManifestRoot)) {
        manifest.error = "The uninstall manifest has no single TallymarUninstall element";
        return manifest;
    }
    for (const auto& child : document.roots[0]->children)
        manifest.entries.push_back(ManifestEntry{KindOf(child->name), child->name, child->Text()});
    manifest.ok = true;
    return manifest;
}

UninstallManifest ReadUninstallManifest(const std::filesystem::path& file) {
    DWORD error = 0;
    const auto text = ReadHostFile(file, &error);
    if (!text) {
        UninstallManifest manifest;
        manifest.error = "Cannot read " + file.string() + ": " +
                         (error == win::ERROR_FILE_NOT_FOUND || error == win::ERROR_PATH_NOT_FOUND
                              ? std::string("the file does not exist")
                              : "error " + std::to_string(error));
        return manifest;
    }
    return ParseUninstallManifest(*text);
}

} // namespace tl::uninstall
