#include "tables/CCreditorRecord.h"

std::string CCreditorRecord::GetDefaultSQL() const {
    return "[CreditorTable]";
}

void CCreditorRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Text(fx, "[CreditorName]", CreditorName, 255);
    RFX_Text(fx, "[Address1]", Address1, 255);
    RFX_Text(fx, "[Address2]", Address2, 255);
    RFX_Text(fx, "[City]", City, 255);
    RFX_Text(fx, "[State]", State, 255);
    RFX_Long(fx, "[Zip]", Zip);
    RFX_Long(fx, "[PlusFour]", PlusFour);
    RFX_Text(fx, "[Alias1]", Alias1, 255);
    RFX_Text(fx, "[Alias2]", Alias2, 255);
    RFX_Text(fx, "[Alias3]", Alias3, 255);
    RFX_Text(fx, "[Country]", Country, 255);
}
