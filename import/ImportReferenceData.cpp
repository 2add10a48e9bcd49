#include "import/ImportReferenceData.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "import/ChecklistImport.h"
#include "import/ReferenceImporters.h"
#include "platform/CException.h"
#include "platform/Format.h"
#include "release/DownloadFile.h"
#include "release/ManifestNames.h"
#include "release/TargetFolders.h"

namespace {

constexpr int kSharedFilesElsewhere = 2;

enum ImportKind {
    KindNone = 0,
    KindChecklist = 1,
    KindCreditors,
    KindTrustees,
    KindProvisions,
    KindPlanText
};

// The checklist file goes through the collection; whatever became of the request, the collection
// is written afterwards (with nothing new in it when the request failed).
void ImportChecklists(CSetupSheet& sheet, const std::string& path) {
    ImportRecords records;
    CChecklistCollection collection(true);
    bool imported = false;
    try {
        imported = ImportChecklistRecords(records, path);
    } catch (const CException& e) {
        sheet.Log("**** %s", e.GetErrorMessage().c_str());
    }
    if (imported) {
        MergeChecklistRecords(records, collection);
        sheet.Log("Setup imported the checklist initialization file");
    } else {
        sheet.Log("**** Error trying to import checklist initialization file");
    }
    StoreChecklists(collection);
}

struct FileImporter {
    bool (*import)(const std::string& path);
    const char* success;
    const char* failure;
};

const FileImporter* ImporterFor(int kind) {
    static const FileImporter kImporters[] = {
        {ImportCreditors, "Setup imported creditor initialization file %s",
         "**** Error trying to import creditor initialization file %s"},
        {ImportTrustees, "Setup imported trustee initialization file %s",
         "**** Error trying to import trustee initialization file %s"},
        {ImportChap13Provisions, "Setup imported provision import file %s",
         "**** Error trying to import provision initialization file %s"},
        {ImportChap13PlanText, "Setup imported plan text file %s",
         "**** Error trying to import plan text file %s"},
    };
    if (kind < KindCreditors || kind > KindPlanText)
        return nullptr;
    return &kImporters[kind - KindCreditors];
}

void ImportFile(CSetupSheet& sheet, const FileImporter& importer, const std::string& path) {
    bool imported = false;
    try {
        imported = importer.import(path);
    } catch (const CException& e) {
        // A proxy that died or a response that broke off: this file failed, the others go on.
        sheet.Log("**** %s", e.GetErrorMessage().c_str());
    }
    sheet.Log(imported ? importer.success : importer.failure, path.c_str());
}

void ImportEntry(CSetupSheet& sheet, int kind, const std::string& path) {
    if (kind == KindChecklist) {
        try {
            ImportChecklists(sheet, path);
        } catch (const CException& e) {
            sheet.Log("**** %s", e.GetErrorMessage().c_str());
            sheet.Log("**** Error trying to import checklist initialization file");
        }
        return;
    }
    if (const FileImporter* importer = ImporterFor(kind))
        ImportFile(sheet, *importer, path);
}

} // namespace

bool ImportReferenceData(CSetupSheet& sheet) {
    if (sheet.installType == kSharedFilesElsewhere)
        return true;
    UserInterface& ui = TheUserInterface();
    ui.ShowProgress("Tallymar Setup", "");
    if (!sheet.manifestObjects.empty()) {
        for (const auto& file : sheet.manifestObjects.front()->SupportFiles) {
            const int kind = ImportKindFromFlags(file->Flags);
            if (kind == KindNone)
                continue;
            if ((file->Flags & FlagStateModule) != 0 && !IsStateSelected(sheet, file->State))
                continue;
            // The download step refuses such names too: there is no file of ours to read.
            if (!IsPlainFileName(file->Name)) {
                LogRefusedFileName(sheet, file->Name);
                continue;
            }
            const std::string path = TargetPathFor(sheet, file->Name, FolderKindFromFlags(file->Flags));
            ui.SetProgressText(tl::Format("Importing %s...", file->Description.c_str()));
            ImportEntry(sheet, kind, path);
        }
    }
    ui.HideProgress();
    return true;
}
