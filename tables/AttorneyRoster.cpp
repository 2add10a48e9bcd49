#include "tables/AttorneyRoster.h"

#include "crypto/HexText.h"
#include "crypto/MasterKey.h"
#include "crypto/SecretText.h"
#include "db/CDBException.h"
#include "tables/CAttorneyRecord.h"
#include "tables/CCh13LoginRecord.h"
#include "tables/CEcfRecord.h"
#include "tables/DatabaseHandles.h"
#include "tables/Lookups.h"

#include <sqlite3.h>
#include <stdexcept>

namespace {

constexpr char kSelectAttorney[] = "SELECT * FROM AttorneyTable WHERE AttorneyNumber = %d";

const CBlowfish& MasterKey() {
    if (!theMasterKey)
        throw std::logic_error("the attorney roster needs the master key");
    return *theMasterKey;
}

// The stored form of a secret: its encrypted bytes as upper-case hexadecimal text.
std::string EncryptedHex(std::string_view secret) {
    const std::vector<unsigned char> encrypted = EncryptText(MasterKey(), secret);
    return HexEncode(encrypted.data(), encrypted.size());
}

// A stored secret in clear; a value that is not hexadecimal text reads as empty.
void DecryptInto(tl::SecretString& secret, std::string_view stored) {
    std::optional<tl::SecretString> clear = DecryptHexText(MasterKey(), stored);
    AssignSecret(secret, clear ? std::string_view(clear->str()) : std::string_view());
}

// Logins are read back with every pair of single quotes reduced to one.
std::string ReduceDoubledQuotes(std::string_view text) {
    std::string reduced;
    reduced.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        reduced += text[i];
        if (text[i] == '\'' && i + 1 < text.size() && text[i + 1] == '\'')
            ++i;
    }
    return reduced;
}

// An edit of a row that the action holds open: unless it was written, it is cancelled and the
// recordset closed before the action's transaction rolls back.
class RowEdit {
public:
    explicit RowEdit(CRecordset& record) : record_(record) { record_.Edit(); }
    RowEdit(const RowEdit&) = delete;
    RowEdit& operator=(const RowEdit&) = delete;
    ~RowEdit() {
        if (!written_)
            record_.CancelUpdate();
        record_.Close();
    }
    void Update() {
        record_.Update();
        written_ = true;
    }

private:
    CRecordset& record_;
    bool written_ = false;
};

// The attorney's row, opened for update.
void OpenAttorneyRow(CAttorneyRecord& record, std::int32_t number) {
    record.Open(CRecordset::dynaset, kSelectAttorney, {number});
}

// Adding and editing write the same fields; Chap13Annex is left as it is.
void WriteAttorneyFields(CAttorneyRecord& record, const AttorneyInfo& info) {
    RowEdit edit(record);
    record.Name = info.Name;
    record.Initials = info.Initials;
    record.Address1 = info.Address1;
    record.Address2 = info.Address2;
    record.City = info.City;
    record.State = info.State;
    record.Zipcode = info.Zipcode;
    record.Telephone = info.Telephone;
    record.Fax = info.Fax;
    record.email = info.email;
    record.Firm = info.Firm;
    record.Default = info.Default;
    record.PacerId = info.PacerId;
    record.Password = EncryptedHex(info.Password.str());
    edit.Update();
}

// The logins in list order and the National Data Center row, also for an empty key.
void InsertLoginsAndKey(std::int32_t number, const EcfLoginList& logins, std::string_view key) {
    for (const EcfLogin& login : logins) {
        theMainDb.ExecuteSQL(
            "INSERT INTO EcfTable (AttorneyNumber, District, UserName, Password, BarNumber) "
            "VALUES (%d, '%s', '%s', '%s', '%s')",
            {number, login.District, login.UserName, EncryptedHex(login.Password.str()), login.BarNumber});
    }
    theMainDb.ExecuteSQL("INSERT INTO Ch13Login (TrusteeName, UserName, Password, Attorney) VALUES ('NDC', "
                         "'Placeholder', '%s', %d)",
                         {EncryptedHex(key), number});
}

// The counter value of the row that the connection's last insert made.
std::int32_t LastCounterValue() {
    return static_cast<std::int32_t>(sqlite3_last_insert_rowid(theMainDb.Handle()));
}

} // namespace

bool LoadAttorneyInfo(std::int32_t number, AttorneyInfo& info, bool withSecrets) {
    CAttorneyRecord record(&theMainDb);
    record.Open(CRecordset::snapshot, kSelectAttorney, {number}, CRecordset::readOnly);
    if (record.IsEOF())
        return false;
    info.AttorneyNumber = record.AttorneyNumber;
    info.Name = record.Name;
    info.Initials = record.Initials;
    info.Address1 = record.Address1;
    info.Address2 = record.Address2;
    info.City = record.City;
    info.State = record.State;
    info.Zipcode = record.Zipcode;
    info.Telephone = record.Telephone;
    info.Fax = record.Fax;
    info.email = record.email;
    info.Firm = record.Firm;
    info.Chap13Annex = record.Chap13Annex;
    info.Default = record.Default;
    if (withSecrets) {
        info.PacerId = record.PacerId;
        DecryptInto(info.Password, record.Password);
    }
    return true;
}

void AttorneyRoster::Load() {
    entries_.clear();
    defaultNumber_ = FindDefaultAttorney();
    CAttorneyRecord record(&theMainDb);
    record.Open(CRecordset::snapshot, "SELECT * FROM AttorneyTable ORDER BY Name", CRecordset::readOnly);
    std::vector<RosterEntry> entries;
    for (; !record.IsEOF(); record.MoveNext())
        entries.push_back(RosterEntry{record.AttorneyNumber, record.Name, record.Default});
    entries_ = std::move(entries);
}

std::size_t AttorneyRoster::Add(const AttorneyInfo& info, const EcfLoginList& logins,
                                std::string_view nationalDataCenterKey) {
    std::int32_t number = -1;
    {
        CTransaction transaction(theMainDb);
        theMainDb.ExecuteSQL("INSERT INTO AttorneyTable (Name, Initials) VALUES ('Godzilla', 'Godzilla')");
        // The placeholder is opened by the counter value its insert produced, never by its
        // initials: a row of the firm's may carry the same ones.
        CAttorneyRecord record(&theMainDb);
        OpenAttorneyRow(record, LastCounterValue());
        if (record.IsEOF())
            ThrowDBException("The new attorney's row cannot be found.");
        WriteAttorneyFields(record, info);
        number = record.AttorneyNumber;
        InsertLoginsAndKey(number, logins, nationalDataCenterKey);
        if (info.Default)
            ClearPreviousDefault();
        transaction.Commit();
    }
    entries_.push_back(RosterEntry{number, info.Name, false});
    if (info.Default)
        ApplyNewDefault(number, true);
    entries_.back().isDefault = info.Default;
    return entries_.size() - 1;
}

bool AttorneyRoster::LoadForEdit(std::size_t index, AttorneyInfo& info, EcfLoginList& logins,
                                 tl::SecretString& nationalDataCenterKey) const {
    const std::int32_t number = entries_.at(index).number;
    if (!LoadAttorneyInfo(number, info, true))
        return false;
    logins.clear();
    CEcfRecord ecf(&theMainDb);
    ecf.Open(CRecordset::snapshot, "SELECT * FROM EcfTable WHERE AttorneyNumber = %d", {number},
             CRecordset::readOnly);
    for (; !ecf.IsEOF(); ecf.MoveNext()) {
        EcfLogin& login = logins.emplace_back();
        DecryptInto(login.Password, ecf.Password);
        login.District = ReduceDoubledQuotes(ecf.District);
        login.UserName = ReduceDoubledQuotes(ecf.UserName);
        login.BarNumber = ReduceDoubledQuotes(ecf.BarNumber);
    }
    CCh13LoginRecord ndc(&theMainDb);
    ndc.Open(CRecordset::snapshot, "SELECT * FROM Ch13Login WHERE Attorney = %d AND TrusteeName = 'NDC'",
             {number}, CRecordset::readOnly);
    AssignSecret(nationalDataCenterKey, {});
    if (!ndc.IsEOF())
        DecryptInto(nationalDataCenterKey, ndc.Password);
    return true;
}

void AttorneyRoster::Edit(std::size_t index, const AttorneyInfo& info, const EcfLoginList& logins,
                          std::string_view nationalDataCenterKey) {
    RosterEntry& entry = entries_.at(index);
    const bool defaultChanged = info.Default != entry.isDefault;
    {
        CTransaction transaction(theMainDb);
        theMainDb.ExecuteSQL("DELETE FROM EcfTable WHERE AttorneyNumber = %d", {entry.number});
        theMainDb.ExecuteSQL("DELETE FROM Ch13Login WHERE Attorney = %d AND TrusteeName = 'NDC'",
                             {entry.number});
        CAttorneyRecord record(&theMainDb);
        OpenAttorneyRow(record, entry.number);
        WriteAttorneyFields(record, info);
        InsertLoginsAndKey(entry.number, logins, nationalDataCenterKey);
        if (defaultChanged)
            ClearPreviousDefault();
        transaction.Commit();
    }
    entry.name = info.Name;
    if (defaultChanged)
        ApplyNewDefault(entry.number, info.Default);
    entry.isDefault = info.Default;
}

void AttorneyRoster::Delete(std::size_t index) {
    const std::int32_t number = entries_.at(index).number;
    CTransaction transaction(theMainDb);
    theMainDb.ExecuteSQL("DELETE FROM AttorneyTable WHERE AttorneyNumber = %d", {number});
    theMainDb.ExecuteSQL("DELETE FROM EcfTable WHERE AttorneyNumber = %d", {number});
    theMainDb.ExecuteSQL("DELETE FROM Ch13Login WHERE Attorney = %d", {number});
    transaction.Commit();
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    if (number == defaultNumber_)
        defaultNumber_ = -1;
}

std::size_t AttorneyRoster::IndexOf(std::int32_t number) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].number == number)
            return i;
    }
    return entries_.size();
}

void AttorneyRoster::ClearPreviousDefault() const {
    if (defaultNumber_ == -1)
        return;
    CAttorneyRecord record(&theMainDb);
    OpenAttorneyRow(record, defaultNumber_);
    // Another workstation may have deleted it meanwhile; then there is nothing to unmark.
    if (record.IsEOF())
        return;
    RowEdit edit(record);
    record.Default = false;
    edit.Update();
}

void AttorneyRoster::ApplyNewDefault(std::int32_t number, bool isDefault) {
    if (defaultNumber_ != -1) {
        const std::size_t previous = IndexOf(defaultNumber_);
        if (previous < entries_.size())
            entries_[previous].isDefault = false;
        defaultNumber_ = -1;
    }
    if (isDefault)
        defaultNumber_ = number;
}
