#pragma once

#include "tables/AttorneyInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Reads attorney number's AttorneyTable row from the main database (theMainDb) into info; with
/// withSecrets also its PacerId and its password, decrypted with theMasterKey. False when there is
/// no such row (info untouched). Throws CDBException when the database fails.
bool LoadAttorneyInfo(std::int32_t number, AttorneyInfo& info, bool withSecrets);

/// One attorney of the roster's list.
struct RosterEntry {
    std::int32_t number = -1;
    std::string name;
    bool isDefault = false;

    /// What the list shows: the name, followed by "*" for the default attorney.
    std::string Text() const { return isDefault ? name + "*" : name; }
};

/// The firm's attorney roster: the attorneys in the main database (theMainDb) with their
/// electronic filing logins (EcfTable) and National Data Center keys (Ch13Login), and the list
/// that the attorney setup dialog shows, in the order the attorneys were added (by name when
/// loaded, new ones at the end). It remembers the default attorney; only one is marked at a time.
///
/// Each action is one transaction. Secrets are stored encrypted with theMasterKey as upper-case
/// hexadecimal text; every text goes into its statement as a quoted value. When the database
/// fails, the action throws CDBException with the database's text after everything it did has
/// been undone (an edit in progress cancelled, the transaction rolled back): the tables and the
/// list are as they were. The master key must be set before adding or editing.
class AttorneyRoster {
public:
    /// Reads the default attorney and the list ("SELECT * FROM AttorneyTable ORDER BY Name").
    /// Throws CDBException (the list is then empty).
    void Load();

    const std::vector<RosterEntry>& Entries() const { return entries_; }
    /// The default attorney's number, -1 when there is none.
    std::int32_t DefaultNumber() const { return defaultNumber_; }

    /// Stores a new attorney, its logins in list order and its National Data Center key (a row
    /// also for an empty key); when it is the default, the previous default attorney loses the
    /// mark. Appends its entry and returns the entry's index; info's number is not changed.
    std::size_t Add(const AttorneyInfo& info, const EcfLoginList& logins,
                    std::string_view nationalDataCenterKey);

    /// Reads what editing the entry at index starts from: the attorney with its secrets, its
    /// logins and its National Data Center key (empty when it has none). False when the row is gone.
    bool LoadForEdit(std::size_t index, AttorneyInfo& info, EcfLoginList& logins,
                     tl::SecretString& nationalDataCenterKey) const;

    /// Rewrites the attorney of the entry at index: its fields (Chap13Annex is kept), its logins
    /// (replacing all it had) and its National Data Center row (its other Ch13Login rows are
    /// kept). When the default flag changed, the previous default attorney loses the mark.
    void Edit(std::size_t index, const AttorneyInfo& info, const EcfLoginList& logins,
              std::string_view nationalDataCenterKey);

    /// Deletes the attorney of the entry at index with its logins and every Ch13Login row of it,
    /// and removes its entry.
    void Delete(std::size_t index);

private:
    std::size_t IndexOf(std::int32_t number) const;
    // Within the action's transaction: unmarks the remembered default attorney.
    void ClearPreviousDefault() const;
    // After the action's commit: the list and the remembered default follow the database.
    void ApplyNewDefault(std::int32_t number, bool isDefault);

    std::vector<RosterEntry> entries_;
    std::int32_t defaultNumber_ = -1;
};
