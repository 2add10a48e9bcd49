#include "tables/Lookups.h"

#include "tables/CAttorneyRecord.h"
#include "tables/CCourtRecord.h"
#include "tables/CStateRecord.h"
#include "tables/CZipcodeRecord.h"
#include "tables/DatabaseHandles.h"
#include "tables/ZipCode.h"

namespace {

// The zip code's row, read with the digits placed without quotes (the column is numeric). The
// caller has made sure that zip holds digits only.
bool ReadZipcode(std::string_view zip, CZipcodeRecord& record) {
    record.Open(CRecordset::snapshot, "SELECT * FROM ZipcodeTable WHERE ZipCode = %s", {zip},
                CRecordset::readOnly);
    const bool found = !record.IsEOF();
    record.Close();
    return found;
}

// " Eastern", " Middle", ... for the third character of a court name of 4 or more characters.
const char* DirectionWord(std::string_view courtName) {
    if (courtName.size() < 4)
        return "";
    switch (courtName[2]) {
    case 'E':
        return " Eastern";
    case 'M':
        return " Middle";
    case 'N':
        return " Northern";
    case 'S':
        return " Southern";
    case 'W':
        return " Western";
    default:
        return "";
    }
}

bool ReadState(std::string_view stateCode, CStateRecord& record) {
    record.Open(CRecordset::snapshot, "SELECT * FROM StateTable WHERE StateCode = '%s'", {stateCode},
                CRecordset::readOnly);
    const bool found = !record.IsEOF();
    record.Close();
    return found;
}

} // namespace

bool LookupZipcode(std::string_view zip, std::string& city, std::string& state) {
    if (zip.empty() || !IsAllDigits(zip))
        return false;
    CZipcodeRecord record(&thePlacesDb);
    if (!ReadZipcode(zip, record))
        return false;
    city = record.City;
    state = record.State;
    return true;
}

bool IsKnownZipcode(std::string_view zip) {
    const std::size_t hyphen = zip.find('-');
    const std::string_view five = zip.substr(0, hyphen);
    if (five.size() != 5 || !IsAllDigits(five))
        return false;
    if (hyphen != std::string_view::npos) {
        const std::string_view four = zip.substr(hyphen + 1);
        if (four.size() != 4 || !IsAllDigits(four))
            return false;
    }
    CZipcodeRecord record(&thePlacesDb);
    return ReadZipcode(five, record);
}

void LookupCourtDescription(std::string_view courtName, int office, std::string& description,
                            std::string& officeName) {
    CCourtRecord record(&thePlacesDb);
    if (office == -1)
        record.Open(CRecordset::snapshot, "SELECT * FROM CourtTable WHERE CourtName = '%s'", {courtName},
                    CRecordset::readOnly);
    else
        record.Open(CRecordset::snapshot, "SELECT * FROM CourtTable WHERE CourtName = '%s' AND Office = %d",
                    {courtName, office}, CRecordset::readOnly);
    if (record.IsEOF())
        return;
    description =
        LookupStateName(std::string_view(record.CourtName).substr(0, 2)) + DirectionWord(record.CourtName);
    if (office != -1)
        officeName = record.OfficeName;
}

std::string LookupDistrictDescription(std::string_view district) {
    CCourtRecord record(&thePlacesDb);
    record.Open(CRecordset::snapshot, "SELECT * from CourtTable WHERE District = '%s'", {district},
                CRecordset::readOnly);
    if (record.IsEOF() || record.CourtName.empty())
        return {};
    const std::string courtName = record.CourtName;
    record.Close();
    std::string description;
    std::string officeName;
    LookupCourtDescription(courtName, -1, description, officeName);
    return description;
}

std::string LookupStateName(std::string_view stateCode) {
    CStateRecord record(&thePlacesDb);
    return ReadState(stateCode, record) ? record.StateName : std::string();
}

bool IsKnownState(std::string_view stateCode) {
    CStateRecord record(&thePlacesDb);
    return ReadState(stateCode, record);
}

std::int32_t FindDefaultAttorney() {
    CAttorneyRecord record(&theMainDb);
    record.Open(CRecordset::snapshot, "SELECT * FROM AttorneyTable WHERE Default = TRUE",
                CRecordset::readOnly);
    return record.IsEOF() ? -1 : record.AttorneyNumber;
}
