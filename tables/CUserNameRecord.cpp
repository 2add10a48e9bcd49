#include "tables/CUserNameRecord.h"

std::string CUserNameRecord::GetDefaultSQL() const {
    return "[UserName]";
}

void CUserNameRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Text(fx, "[UserName]", UserName, 255);
    RFX_Text(fx, "[Password]", Password, 4096);
    RFX_Text(fx, "[Address1]", Address1, 255);
    RFX_Text(fx, "[Address2]", Address2, 255);
    RFX_Text(fx, "[City]", City, 255);
    RFX_Text(fx, "[State]", State, 255);
    RFX_Text(fx, "[Zipcode]", Zipcode, 255);
    RFX_Text(fx, "[Phone]", Phone, 255);
    RFX_Text(fx, "[Fax]", Fax, 255);
    RFX_Text(fx, "[EMail]", EMail, 255);
}
