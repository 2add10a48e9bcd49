#include "tables/CAttorneyRecord.h"

std::string CAttorneyRecord::GetDefaultSQL() const {
    return "[AttorneyTable]";
}

void CAttorneyRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Long(fx, "[AttorneyNumber]", AttorneyNumber);
    RFX_Text(fx, "[Name]", Name, 255);
    RFX_Text(fx, "[Initials]", Initials, 255);
    RFX_Text(fx, "[Address1]", Address1, 255);
    RFX_Text(fx, "[Address2]", Address2, 255);
    RFX_Text(fx, "[City]", City, 255);
    RFX_Text(fx, "[State]", State, 255);
    RFX_Text(fx, "[Zipcode]", Zipcode, 255);
    RFX_Text(fx, "[Telephone]", Telephone, 255);
    RFX_Text(fx, "[email]", email, 255);
    RFX_Text(fx, "[Firm]", Firm, 255);
    RFX_Text(fx, "[Fax]", Fax, 255);
    RFX_Text(fx, "[Chap13Annex]", Chap13Annex, 255);
    RFX_Bool(fx, "[Default]", Default);
    RFX_Text(fx, "[PacerId]", PacerId, 255);
    RFX_Text(fx, "[Password]", Password, 255);
}
