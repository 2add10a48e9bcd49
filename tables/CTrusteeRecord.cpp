#include "tables/CTrusteeRecord.h"

std::string CTrusteeRecord::GetDefaultSQL() const {
    return "[TrusteeTable]";
}

void CTrusteeRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Text(fx, "[TrusteeName]", TrusteeName, 255);
    RFX_Text(fx, "[FullName]", FullName, 255);
    RFX_Text(fx, "[Address1]", Address1, 255);
    RFX_Text(fx, "[Address2]", Address2, 255);
    RFX_Text(fx, "[City]", City, 255);
    RFX_Text(fx, "[State]", State, 255);
    RFX_Text(fx, "[ZipCode]", ZipCode, 255);
    RFX_Text(fx, "[Telephone]", Telephone, 255);
    RFX_Text(fx, "[Fax]", Fax, 255);
    RFX_Text(fx, "[Email]", Email, 255);
    RFX_Int(fx, "[Ch13]", Ch13);
    RFX_Text(fx, "[Ch13Select]", Ch13Select, 255);
    RFX_Text(fx, "[Ch13Id]", Ch13Id, 255);
}
