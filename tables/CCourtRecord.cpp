#include "tables/CCourtRecord.h"

std::string CCourtRecord::GetDefaultSQL() const {
    return "[CourtTable]";
}

void CCourtRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Long(fx, "[CourtIndex]", CourtIndex);
    RFX_Text(fx, "[District]", District, 255);
    RFX_Long(fx, "[Office]", Office);
    RFX_Text(fx, "[CourtName]", CourtName, 255);
    RFX_Text(fx, "[OfficeName]", OfficeName, 255);
}
