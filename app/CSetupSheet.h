#pragma once

#include "app/InstallLog.h"
#include "app/ManifestObjects.h"
#include "xml/XmlDocument.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

/// The run's whole state, for a first installation or an update: every answer of the wizard,
/// the values the work after Finish reads, the install log and the control choices of the pages.
/// (The wizard window that shows the pages is the user interface's; it works on this object.)
class CSetupSheet {
public:
    static constexpr unsigned kInstallCaptionId = 122; ///< "Tallymar Setup Wizard"
    static constexpr unsigned kUpdateCaptionId = 189;  ///< "Tallymar Update Wizard"

    /// Caption 189 makes the update sheet; any other id the installation sheet.
    explicit CSetupSheet(unsigned captionId);
    CSetupSheet(const CSetupSheet&) = delete;
    CSetupSheet& operator=(const CSetupSheet&) = delete;
    /// Wipes the passwords with 0xCC and closes the log.
    ~CSetupSheet();

    unsigned CaptionId() const { return captionId_; }

    // The install log.
    /// Opens the log; without success every Log call does nothing for the rest of the run.
    void OpenLog() { log_.Open(); }
    bool IsLogOpen() const { return log_.IsOpen(); }
    /// Formats and writes one line. Pass message-box texts as "%s" arguments, never as the format.
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Choices: control states recorded by dialog id.
    /// Replaces the value of an id already present or appends the pair.
    void SetChoice(int id, int value);
    /// The stored value, or 0 for an id never set.
    int GetChoice(int id) const;

    std::string installDirectory;
    std::string homeDirectory;
    std::string shareName;
    std::string firmName;
    std::string masterPassword;
    std::string attorneyPassword;
    std::string staffPassword;
    std::string setupDirectory;
    std::string networkUserName;
    std::vector<std::string> states;
    int installType = 0;
    int updateLevel = 0;
    int sharedUpdatesNeeded = 0;
    bool isUpdate = false;
    // Each database is created at most once per run: set when its creation is first asked for.
    bool mainDatabaseCreated = false;
    bool creditorDatabaseCreated = false;

    // The firm's address, stored with the firm's row of the main database.
    std::string firmAddress1;
    std::string firmAddress2;
    std::string firmCity;
    std::string firmState;
    int firmZip = 0;
    int firmZipExtension = 0;
    std::string firmPhone;
    std::string firmFax;
    std::string firmEmail;

    /// The bound online manifest; the first element is the one every step reads.
    std::vector<std::unique_ptr<XCurrentVersion>> manifestObjects;

    // The uninstall manifest: what the uninstaller is to remove, recorded while installing.
    /// Appends a new "TallymarUninstall" root; entries always go to the last root.
    void CreateUninstallRoot();
    /// A new element named kind holding text, made by the sheet's element factory; not attached.
    std::unique_ptr<XmlElement> AddUninstallEntry(const std::string& kind, const std::string& text);
    /// Appends a "DeleteFile" entry. Entries are never merged: the same path twice gives two. Without
    /// a root yet, one is created first, so no entry is ever dropped.
    void AddDeleteFile(const std::string& path);
    /// Appends a "DeleteKey" entry (a registry key path without its root key), as AddDeleteFile.
    void AddDeleteKey(const std::string& keyPath);
    /// Removes every "DeleteFile" entry whose path equals path without regard to case; the others
    /// keep their order.
    void RemoveDeleteFile(const std::string& path);
    /// Writes the manifest to installDirectory + "\TLMUINST.xml", replacing any earlier file as a
    /// whole. On failure logs "**** Error <code> trying to write <path>", leaves the file as it was
    /// and the entries in memory, sets the last error and returns false.
    bool SaveUninstallManifest();

    /// Creator of the elements the sheet builds: it belongs to no document, so the manifest is
    /// written without namespace declarations. Declared before the document, which it outlives.
    XmlParseContext uninstallElementFactory;
    XmlDocument uninstallManifest{false};

private:
    unsigned captionId_;
    InstallLog log_;
    std::vector<std::pair<int, int>> choices_;
    /// The root that entries go to: the last one created, made now when there is none.
    XmlElement& UninstallRoot();
};

/// Control ids whose states the pages record as choices.
inline constexpr int kChoiceThisComputerOnly = 1000;
inline constexpr int kChoiceSharedFilesHere = 1001;
inline constexpr int kChoiceSharedFilesElsewhere = 1002;
inline constexpr int kChoiceSetupAttorneysNow = 1019;
inline constexpr int kChoiceApplySharedUpdates = 1040;
