#include "release/FetchManifest.h"

#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "platform/WinTypes.h"
#include "release/CheckManifestSignature.h"
#include "release/FetchUrl.h"
#include "release/ManifestBinding.h"
#include "release/ManifestNames.h"
#include "xml/XmlDocument.h"

#include <algorithm>

namespace {

// Entries whose names would reach outside their folders never enter the run.
template <class Entry>
void DropUnsafeNames(CSetupSheet& sheet, std::vector<std::unique_ptr<Entry>>& entries) {
    std::erase_if(entries, [&](const std::unique_ptr<Entry>& entry) {
        if (IsPlainFileName(entry->Name))
            return false;
        LogRefusedFileName(sheet, entry->Name);
        return true;
    });
}

} // namespace

bool FetchManifest(CSetupSheet& sheet) {
    sheet.Log("Fetching manifest from %s", theFileServerUrl.c_str());
    std::string text;
    if (!FetchUrlToString(theFileServerUrl + "CurrentVersion.xml", text,
                          [&sheet](const std::string& line) { sheet.Log("%s", line.c_str()); })) {
        sheet.Log("**** Error fetching manifest");
        AppMessageBox("Unable to retrieve file manifest from file server", win::MB_OK | win::MB_ICONERROR);
        return false;
    }
    // Nothing of a manifest that is not trusted is parsed.
    if (!CheckManifestSignature(sheet, text))
        return false;
    XmlDocument document(false);
    const bool parsed = document.Parse(text);
    if (parsed)
        document.Bind(kManifestBinding, kManifestBindingCount, &sheet.manifestObjects);
    if (sheet.manifestObjects.empty()) {
        sheet.Log(parsed ? "**** No CurrentVersion object in file manifest"
                         : "**** Error in file manifest XML");
        AppMessageBox("Error in online file manifest - unable to continue", win::MB_OK | win::MB_ICONERROR);
        return false;
    }
    for (const auto& manifest : sheet.manifestObjects) {
        DropUnsafeNames(sheet, manifest->Modules);
        DropUnsafeNames(sheet, manifest->SupportFiles);
    }
    sheet.updateLevel = sheet.manifestObjects.front()->UpdateLevel;
    return true;
}
