#include "tables/CEcfRecord.h"

std::string CEcfRecord::GetDefaultSQL() const {
    return "[EcfTable]";
}

void CEcfRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Long(fx, "[AttorneyNumber]", AttorneyNumber);
    RFX_Text(fx, "[District]", District, 255);
    RFX_Text(fx, "[UserName]", UserName, 255);
    RFX_Text(fx, "[Password]", Password, 255);
    RFX_Text(fx, "[BarNumber]", BarNumber, 255);
}
