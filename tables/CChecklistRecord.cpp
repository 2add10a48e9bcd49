#include "tables/CChecklistRecord.h"

std::string CChecklistRecord::GetDefaultSQL() const {
    return "[CheckListTable]";
}

void CChecklistRecord::DoFieldExchange(CFieldExchange& fx) {
    RFX_Text(fx, "[ID]", ID, 255);
    RFX_Text(fx, "[beforeafter]", beforeafter, 255);
    RFX_Text(fx, "[subsidiary]", subsidiary, 255);
    RFX_Text(fx, "[text]", text, 2048);
    RFX_Text(fx, "[desc]", desc, 2048);
    RFX_Long(fx, "[flagslo]", flagslo);
    RFX_Long(fx, "[flagshi]", flagshi);
    RFX_Long(fx, "[resideslo]", resideslo);
    RFX_Long(fx, "[resideshi]", resideshi);
    RFX_Text(fx, "[districts]", districts, 2048);
    RFX_Text(fx, "[trigger]", trigger, 255);
}
