#include "tables/CZipcodeRecord.h"

std::string CZipcodeRecord::GetDefaultSQL() const {
    return "[ZipCodeTable]";
}

void CZipcodeRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Long(fx, "[ZipCode]", ZipCode);
    RFX_Text(fx, "[City]", City, 255);
    RFX_Text(fx, "[State]", State, 255);
    RFX_Long(fx, "[CountyCode]", CountyCode);
    RFX_Text(fx, "[CourtName]", CourtName, 255);
    RFX_Long(fx, "[CourtDistrict]", CourtDistrict);
    RFX_Long(fx, "[CourtOffice]", CourtOffice);
    RFX_Long(fx, "[CourtIndex]", CourtIndex);
}
