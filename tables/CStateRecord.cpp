#include "tables/CStateRecord.h"

std::string CStateRecord::GetDefaultSQL() const {
    return "[StateTable]";
}

void CStateRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Text(fx, "[StateCode]", StateCode, 255);
    RFX_Text(fx, "[StateName]", StateName, 255);
    RFX_Long(fx, "[Region]", Region);
}
