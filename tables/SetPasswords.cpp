#include "tables/SetPasswords.h"

#include "crypto/PasswordText.h"
#include "crypto/RandomBytes.h"
#include "db/CDBException.h"
#include "db/SqlText.h"
#include "tables/CUserNameRecord.h"
#include "tables/DatabaseHandles.h"

namespace {

// Puts the name and the text into the current row; false (edit cancelled, fields as read) when the
// engine refuses.
bool EditRow(CUserNameRecord& row, std::string_view firmName, const std::string& passwordText) {
    try {
        row.Edit();
        row.UserName = firmName;
        row.Password = passwordText;
        row.Update();
        return true;
    } catch (const CDBException&) {
        row.CancelUpdate();
        return false;
    }
}

// Replaces every row of the table by one made of the name, the text and the other fields of row.
void WriteRowAnew(const CUserNameRecord& row, std::string_view firmName, const std::string& passwordText) {
    theMainDb.ExecuteSQL("DELETE FROM UserName");
    const std::string values[] = {
        std::string(firmName), passwordText, row.Address1, row.Address2, row.City, row.State,
        row.Zipcode,           row.Phone,    row.Fax,      row.EMail};
    std::string sql =
        "INSERT INTO UserName (UserName, [Password], Address1, Address2, City, State, Zipcode, Phone, "
        "Fax, EMail) VALUES (";
    for (const std::string& value : values)
        sql += (&value == values ? "'" : ", '") + SqlQuote(value) + "'";
    theMainDb.ExecuteSQL(sql + ")");
}

} // namespace

bool SetPasswords(std::string_view firmName, const CBlowfish& masterKey, std::string_view masterPassword,
                  std::string_view attorneyPassword, std::string_view staffPassword,
                  std::string& errorMessage) {
    SystemRandomBytes random;
    return SetPasswords(firmName, masterKey, masterPassword, attorneyPassword, staffPassword, random,
                        errorMessage);
}

bool SetPasswords(std::string_view firmName, const CBlowfish& masterKey, std::string_view masterPassword,
                  std::string_view attorneyPassword, std::string_view staffPassword, RandomByteSource& random,
                  std::string& errorMessage) {
    try {
        const std::string passwordText =
            MakePasswordText(firmName, masterKey, masterPassword, attorneyPassword, staffPassword, random);
        CUserNameRecord row(&theMainDb);
        {
            CTransaction transaction(theMainDb);
            row.Open(CRecordset::dynaset);
            if (!row.IsEOF() && EditRow(row, firmName, passwordText)) {
                transaction.Commit();
                return true;
            }
            row.Close();
        }
        CTransaction transaction(theMainDb);
        WriteRowAnew(row, firmName, passwordText);
        transaction.Commit();
        return true;
    } catch (const CException& e) {
        errorMessage = e.GetErrorMessage(tl::kMaxMessage);
    } catch (const std::exception& e) { // the system's random source could not be read
        errorMessage = std::string(e.what()).substr(0, tl::kMaxMessage);
    }
    return false;
}
